#pragma once
// Times as a fixity manifest writes them: ISO 8601 in UTC, whatever the machine's time zone
// or locale.
#include <cstdint>
#include <string>

namespace brevikon {

// "2026-12-07T05:47:14Z" for a count of seconds since 1970-01-01T00:00:00Z (negative before),
// in the Gregorian calendar carried back before its start. Whole seconds, so that a time
// reads the same from every file system. A year outside 0000 to 9999 is written with its sign
// and as many digits as it takes ("-0001-12-31T23:59:59Z", "+10000-01-01T00:00:00Z").
std::string UtcTimeText(std::int64_t seconds);

}  // namespace brevikon
