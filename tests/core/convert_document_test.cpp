// The document converter: paragraphs, breaks, spaces, attribute escapes and the summary line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert.h"
#include "support/refusing_heap.h"

namespace brevikon {
namespace {

using test::Convert;
using test::Converted;

using Bytes = std::vector<std::uint8_t>;

const std::string Header =
    "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0\r\n"
    "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}"
    "{\\f1\\froman\\fprq2\\fcharset0 Times New Roman;}}\r\n"
    "{\\colortbl;\\red0\\green0\\blue0;}\r\n"
    "\\viewkind4\\fet0\\sectd\r\n";
const std::string Open = "\\pard\\ql\\f0\\fs20 ";
const std::string End = "\\par\r\n";

// The whole RTF of the smallest documents in either font; no image gives nothing at all.
// The attributes always start from 0, whatever the caller left there.
TEST(ConvertDocument, SmallestDocumentsExactly) {
    const Converted hi = Convert({'H', 'i', 13, 10, 26});
    EXPECT_EQ(hi.rtf, Header + Open + "Hi" + End + "}");
    EXPECT_EQ(hi.summary, u"Text ab 0");
    EXPECT_EQ(hi.currentAttributes, 0);
    EXPECT_EQ(Convert({'A'}, FontMode::Proportional).rtf,
              Header + "\\pard\\ql\\f1\\fs24 A" + End + "}");
    const Converted none = Convert({});
    EXPECT_EQ(none.rtf, "");
    EXPECT_EQ(none.summary, u"");
    EXPECT_EQ(none.currentAttributes, 0);
}

// One case per rule of the text stream; the differential test pairs them up at random.
TEST(ConvertDocument, StreamCodesAndEscapesAsRtf) {
    constexpr std::uint8_t esc = 27, s = 83;
    const std::string ul = "\\ul ", ulnone = "\\ulnone ";
    const struct {
        Bytes bytes;
        std::string body;  // between the document header and the final brace
    } cases[] = {
        {{26, 'x'}, ""},
        {{esc, s, 2, 26, 'z'}, Open + "\\b \\b0 z" + End},  // escaped, 26 is no end marker
        {{'a', 13, 10, 'b'}, Open + "a" + End + Open + "b" + End},
        {{'a', 10, 'b'}, Open + "ab" + End},
        {{13, 10, 10}, Open + End},
        {{'a', 12, 'b'}, Open + "a" + End + "\\page\r\n" + Open + "b" + End},
        {{12}, "\\page\r\n"},
        // 127 opens a paragraph but writes nothing; other control codes open nothing.
        {{127}, Open + End},
        {{1, 2, 3}, ""},
        {{0x81, 0xE1, '{', '}', '\\'}, Open + "\\'fc\\'df\\{\\}\\\\" + End},
        {{128, 'a', 160, 'b'}, Open + " a b" + End},
        // A soft break drops the spaces after it; a tab keeps that state, a control code or a
        // hard break ends it.
        {{'x', 141, 32, 160, 128, 'y'}, Open + "x y" + End},
        {{141, 9, 32}, Open + " \\tab " + End},
        {{141, 1, 32}, Open + "  " + End},
        {{141, 13, 32}, Open + " " + End + Open + " " + End},
        // A space carries the attributes only between equal escapes, and only the last space
        // of a run looks ahead; a plain character between resets the carry.
        {{esc, s, 1, 'a', 32, esc, s, 1, 'b'}, Open + ul + "a b" + ulnone + End},
        {{esc, s, 1, 'a', 32, esc, s, 2, 'b'}, Open + ul + "a" + ulnone + " \\b b\\b0 " + End},
        {{esc, s, 1, 'a', 32, 32, esc, s, 1, 'b'},
         Open + ul + "a" + ulnone + " " + ul + " b" + ulnone + End},
        {{esc, s, 1, 'a', 'x', 32, esc, s, 1, 'b'},
         Open + ul + "a" + ulnone + "x " + ul + "b" + ulnone + End},
        // An escaped character is one whatever its value: 13 breaks nothing, 160 is a-acute.
        {{esc, s, 2, 13, 'x'}, Open + "\\b \\b0 x" + End},
        {{esc, s, 2, 160}, Open + "\\b \\'e1\\b0 " + End},
        {{esc, s, 2, 0xC4}, Open + "\\b \\u9472?\\b0 " + End},
        // Incomplete escapes: 27 alone writes nothing, the rest is plain.
        {{'a', esc, s, 'x'}, Open + "aSx" + End},
        {{esc, 84, 1, 'a'}, Open + "Ta" + End},
    };
    for (const auto& c : cases) {
        const std::string rtf = Convert(c.bytes).rtf;
        EXPECT_EQ(rtf, Header + c.body + "}") << "case " << &c - cases;
    }
}

// Each group switched on and off by its own words, in a fixed order; which bit wins.
TEST(ConvertDocument, AttributeWords) {
    const std::pair<std::uint8_t, std::string> cases[] = {
        {0x01, "\\ul a\\ulnone "},
        {0x80, "a"},
        {0x0C, "\\super a\\nosupersub "},
        {0x08, "\\sub a\\nosupersub "},
        {0x50, "\\charscalex200 a\\charscalex100 "},
        {0x40, "\\charscalex67 a\\charscalex100 "},
        {0x20, "\\expndtw60 a\\expndtw0 "},
        {0x3F,
         "\\ul \\b \\super \\charscalex200 \\expndtw60 a"
         "\\ulnone \\b0 \\nosupersub \\charscalex100 \\expndtw0 "},
    };
    for (const auto& [flags, body] : cases)
        EXPECT_EQ(Convert({27, 83, flags, 'a', 13}).rtf, Header + Open + body + End + "}")
            << +flags;
    // A changed bit rewrites its group even when the word stays the same.
    EXPECT_EQ(Convert({27, 83, 0x14, 'a', 27, 83, 0x1C, 'b'}).rtf,
              Header + Open + "\\super \\charscalex200 a\\super b\\nosupersub \\charscalex100 " +
                  End + "}");
}

TEST(StatusSummary, HeaderNumbersFromNineteenBytes) {
    Bytes bytes(18, 'a');
    EXPECT_EQ(Convert(bytes).summary, u"Text ab 0");
    bytes = {0, 0, 0, 0, 65, 0, 72, 0, 10, 0, 2, 0, 9, 0, 0, 9, 'a', 'b', 'c'};
    EXPECT_EQ(Convert(bytes).summary, u"Text ab 0  |  R/Rand 65  Blatt 72  10 Z/Zoll  Abstand 2");
    Bytes long_(800, 'x');
    long_[4] = 0xFF;
    long_[5] = 0xFF;
    EXPECT_EQ(Convert(long_).summary,
              u"Text ab 759  |  R/Rand 65535  Blatt 30840  30840 Z/Zoll  Abstand 30840");
}

TEST(ConvertDocument, RefusedGrowthMarksTheBufferIncomplete) {
    Bytes bytes(100000, 'a');
    CharTable table{};
    BuildCharTable(table);
    test::RefusingHeap heap;
    RtfBuffer buffer(heap);
    heap.refuseGrowth = true;
    std::uint8_t attributes = 0;
    ConvertDocumentToRtf({bytes.data(), 100000, FontMode::Monospace, &table, &buffer, &attributes});
    EXPECT_FALSE(buffer.complete());
    EXPECT_LE(buffer.used + 8, buffer.capacity);
}

}  // namespace
}  // namespace brevikon
