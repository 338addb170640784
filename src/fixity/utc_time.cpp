#include "fixity/utc_time.h"

namespace brevikon {

namespace {

struct CivilDate {
    std::int64_t year;
    int month;  // 1 to 12
    int day;    // 1 to 31
};

// The date days after 1970-01-01, by counting whole 400-year eras (146,097 days each) from
// 0000-03-01, so that a leap day falls at the end of its year; no table, no time library.
CivilDate CivilFromDays(std::int64_t days) {
    const std::int64_t shifted = days + 719'468;  // from 0000-03-01
    const std::int64_t era = (shifted >= 0 ? shifted : shifted - 146'096) / 146'097;
    const std::int64_t dayOfEra = shifted - era * 146'097;  // 0 to 146,096
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1'460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;  // 0 = March
    const int day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    const int month =
        static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

void AppendDigits(std::string& text, std::uint64_t value, int width) {
    char digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    for (int pad = count; pad < width; ++pad)
        text += '0';
    while (count > 0)
        text += digits[--count];
}

}  // namespace

std::string UtcTimeText(std::int64_t seconds) {
    // Rounded down, so that a second before 1970 belongs to 1969-12-31.
    std::int64_t days = seconds / 86'400;
    std::int64_t secondOfDay = seconds % 86'400;
    if (secondOfDay < 0) {
        days -= 1;
        secondOfDay += 86'400;
    }
    const CivilDate date = CivilFromDays(days);
    std::string text;
    if (date.year < 0) {
        text += '-';
        AppendDigits(text, static_cast<std::uint64_t>(-date.year), 4);
    } else {
        if (date.year > 9'999) text += '+';
        AppendDigits(text, static_cast<std::uint64_t>(date.year), 4);
    }
    text += '-';
    AppendDigits(text, static_cast<std::uint64_t>(date.month), 2);
    text += '-';
    AppendDigits(text, static_cast<std::uint64_t>(date.day), 2);
    text += 'T';
    AppendDigits(text, static_cast<std::uint64_t>(secondOfDay / 3'600), 2);
    text += ':';
    AppendDigits(text, static_cast<std::uint64_t>(secondOfDay / 60 % 60), 2);
    text += ':';
    AppendDigits(text, static_cast<std::uint64_t>(secondOfDay % 60), 2);
    text += 'Z';
    return text;
}

}  // namespace brevikon
