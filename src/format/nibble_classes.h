#pragma once
// Byte classes for the wide runs, looked up by a byte's two halves (two table lookups per
// block, whatever the number of codes).
#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace brevikon {

// Each byte's class from two lookups, one by its high and one by its low four bits: every
// class the run needs is a union of rows, each a set of high halves times a set of low halves,
// and a byte is in a row when both lookups give that row's bit.
struct NibbleRow {
    std::uint8_t bit;
    std::uint16_t highs;  // bit h: high half h
    std::uint16_t lows;   // bit l: low half l
};
constexpr std::uint16_t Halves(std::initializer_list<int> halves) {
    std::uint16_t set = 0;
    for (const int h : halves)
        set = static_cast<std::uint16_t>(set | 1u << h);
    return set;
}
constexpr std::uint16_t AllHalves = 0xFFFF;
constexpr std::uint16_t AllBut(std::initializer_list<int> halves) {
    return static_cast<std::uint16_t>(AllHalves & ~Halves(halves));
}
constexpr int High(std::uint8_t v) {
    return v >> 4;
}
constexpr int Low(std::uint8_t v) {
    return v & 15;
}

struct NibbleTables {
    std::uint8_t high[16] = {};
    std::uint8_t low[16] = {};
    constexpr std::uint8_t Of(std::uint8_t v) const {
        return static_cast<std::uint8_t>(high[High(v)] & low[Low(v)]);
    }
};
template <std::size_t N>
constexpr NibbleTables MakeNibbleTables(const NibbleRow (&rows)[N]) {
    NibbleTables tables;
    for (const NibbleRow& row : rows) {
        for (int h = 0; h < 16; ++h) {
            if (row.highs >> h & 1)
                tables.high[h] = static_cast<std::uint8_t>(tables.high[h] | row.bit);
            if (row.lows >> h & 1)
                tables.low[h] = static_cast<std::uint8_t>(tables.low[h] | row.bit);
        }
    }
    return tables;
}

}  // namespace brevikon
