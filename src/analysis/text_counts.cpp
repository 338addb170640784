#include "analysis/text_counts.h"

#include <cstring>
#include <system_error>
#if !defined(__EMSCRIPTEN__)
#include <thread>
#endif

#include "format/document_format.h"
#include "format/text_codes.h"

namespace brevikon {

namespace {

// True when any of the eight bytes of word is an Escape. Runs of plain text then need no
// escape test per byte.
bool HoldsEscape(std::uint64_t word) {
    return HasZeroByte(word ^ (0x0101010101010101u * Escape));
}

// Counts from start up to end (exclusive); end is where the file ends, or a position the
// counting steps on exactly, so that the escape rule reads the same bytes as over the file.
void CountPart(const std::uint8_t* image, std::int64_t end, std::int64_t start,
               TextCounts& counts) {
    counts = TextCounts{};
    // Four partial histograms, so that a run of equal bytes does not make each increment wait
    // for the one before; they are added up at the end.
    std::int64_t partial[4][256] = {};
    const std::uint8_t* p = image + start;
    const std::uint8_t* const stop = image + end;

    while (p < stop) {
        if (stop - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            if (!HoldsEscape(word)) {
                ++partial[0][p[0]];
                ++partial[1][p[1]];
                ++partial[2][p[2]];
                ++partial[3][p[3]];
                ++partial[0][p[4]];
                ++partial[1][p[5]];
                ++partial[2][p[6]];
                ++partial[3][p[7]];
                p += 8;
                continue;
            }
            // The plain bytes before the word's first Escape one by one, then the escape.
            while (*p != Escape) {
                ++partial[0][*p++];
            }
        } else if (*p != Escape) {
            ++partial[0][*p++];
            continue;
        }

        // p is at an Escape, which counts as a byte. A complete escape swallows its letter,
        // attribute and character bytes; a 27 in one of the last three positions, or one
        // without the letter, is a control code of its own.
        ++partial[0][Escape];
        if (stop - p > 3 && p[1] == EscapeLetter) {
            ++counts.attributeEscapes;
            ++counts.attributeCounts[p[2]];
            p += AttributeEscapeLength;
        } else {
            ++p;
        }
    }

    for (int b = 0; b < 256; ++b) {
        counts.byteCounts[b] = partial[0][b] + partial[1][b] + partial[2][b] + partial[3][b];
    }
}

#if !defined(__EMSCRIPTEN__)
// A position at or after `from` that the counting steps on whatever came before it: none of
// the three bytes before it is an Escape, so an escape that began earlier ends before it. -1
// when there is none before `to`.
std::int64_t StepPoint(const std::uint8_t* image, std::int64_t from, std::int64_t to) {
    for (std::int64_t s = from; s < to; ++s) {
        if (EveryReadingStepsAt(image, s)) return s;
    }
    return -1;
}

void Add(TextCounts& counts, const TextCounts& more) {
    for (int b = 0; b < 256; ++b) {
        counts.byteCounts[b] += more.byteCounts[b];
        counts.attributeCounts[b] += more.attributeCounts[b];
    }
    counts.attributeEscapes += more.attributeEscapes;
}

// Counts a large text in two halves at once, one on a second thread: the counting is a
// histogram, about one byte per cycle, and a report of a large file waits on nothing else.
// The halves meet at a position the counting steps on, so they add up exactly. False when
// the text is small, there is no second core or thread, or no such position.
bool CountInHalves(const std::uint8_t* image, std::int64_t length, std::int64_t textStart,
                   TextCounts& counts) {
    if (length - textStart < SplitCountingFrom || std::thread::hardware_concurrency() < 2)
        return false;
    const std::int64_t split = StepPoint(image, textStart + (length - textStart) / 2, length);
    if (split < 0) return false;
    TextCounts second;
    try {
        std::thread worker([&] { CountPart(image, length, split, second); });
        CountPart(image, split, textStart, counts);
        worker.join();
    } catch (const std::system_error&) {
        return false;  // no thread to be had
    }
    Add(counts, second);
    return true;
}
#else
// The page has no threads.
bool CountInHalves(const std::uint8_t*, std::int64_t, std::int64_t, TextCounts&) {
    return false;
}
#endif

}  // namespace

void CountTextStructure(const std::uint8_t* image, std::int64_t length, std::int64_t textStart,
                        TextCounts& counts) {
    counts = TextCounts{};
    if (!image || textStart < 0 || textStart >= length) return;

    if (!CountInHalves(image, length, textStart, counts))
        CountPart(image, length, textStart, counts);
    counts.hardBreaks = counts.byteCounts[HardBreak];
    counts.softBreaks = counts.byteCounts[SoftBreak];
    counts.softSpaces = counts.byteCounts[SoftSpace];
}

}  // namespace brevikon
