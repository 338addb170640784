// UTF-8 and UTF-16, both ways: what file names and messages pass through.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "base/text.h"

namespace brevikon {
namespace {

TEST(UtfConversion, EveryPlaneBothWaysAndInvalidBytesAsReplacement) {
    const std::pair<std::string, std::u16string> valid[] = {
        {"Brief", u"Brief"},
        {"gr\xC3\xBC\xC3\x9F", u"gr\u00FC\u00DF"},    // two-byte forms
        {"\xE2\x82\xAC 5", u"\u20AC 5"},              // three bytes: euro sign
        {"\xF0\x9F\x93\x84.txt", u"\U0001F4C4.txt"},  // four bytes: a surrogate pair
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},          // the last code point
    };
    for (const auto& [utf8, utf16] : valid) {
        EXPECT_EQ(Utf8ToUtf16(utf8), utf16) << utf8;
        EXPECT_EQ(Utf16ToUtf8(utf16), utf8) << utf8;
    }
    // A stray continuation byte, a cut sequence, an overlong form, a byte never used.
    for (const std::string invalid : {"a\x80", "a\xE2\x82", "\xC0\xAF", "\xFF"}) {
        EXPECT_NE(Utf8ToUtf16(invalid).find(u'\uFFFD'), std::u16string::npos) << invalid;
    }
    // A lone surrogate of a Windows name survives the way there and back.
    const std::u16string lone = u"x\xD800y";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(lone)), lone);
}

}  // namespace
}  // namespace brevikon
