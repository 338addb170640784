// The document converter: paragraphs, breaks, spaces, attribute escapes and the summary line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "format/char_table.h"
#include "rtf/convert_document.h"
#include "support/refusing_heap.h"

namespace brevikon {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string Header =
    "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0\r\n"
    "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}"
    "{\\f1\\froman\\fprq2\\fcharset0 Times New Roman;}}\r\n"
    "{\\colortbl;\\red0\\green0\\blue0;}\r\n"
    "\\viewkind4\\fet0\\sectd\r\n";
const std::string Open = "\\pard\\ql\\f0\\fs20 ";
const std::string End = "\\par\r\n";

struct Converted {
    std::string rtf;
    std::u16string summary;
    std::int64_t currentAttributes;
};

Converted Convert(const Bytes& bytes, std::int64_t fontMode = 0) {
    CharTable table{};
    BuildCharTable(table);
    RtfBuffer buffer;
    std::int64_t currentAttributes = 77;  // the converter must start from 0 itself
    const std::u16string summary =
        ConvertDocumentToRtf({bytes.data(), static_cast<std::int64_t>(bytes.size()), fontMode,
                              &table, &buffer, &currentAttributes});
    return {std::string(buffer.content()), summary, currentAttributes};
}

// The body between the document header and the final brace.
std::string Body(const Bytes& bytes) {
    const std::string rtf = Convert(bytes).rtf;
    EXPECT_EQ(rtf.substr(0, Header.size()), Header);
    EXPECT_EQ(rtf.back(), '}');
    return rtf.substr(Header.size(), rtf.size() - Header.size() - 1);
}

TEST(ConvertDocument, SmallestDocumentExactly) {
    const Converted result = Convert({'H', 'i', 13, 10, 26});
    EXPECT_EQ(result.rtf, Header + Open + "Hi" + End + "}");
    EXPECT_EQ(result.summary, u"Text ab 0");
    EXPECT_EQ(result.currentAttributes, 0);
}

TEST(ConvertDocument, ProportionalFontOpensParagraphsWithFontOne) {
    EXPECT_EQ(Convert({'A'}, 1).rtf, Header + "\\pard\\ql\\f1\\fs24 A" + End + "}");
    EXPECT_EQ(Convert({'A'}, 7).rtf, Header + "\\pard\\ql\\f1\\fs24 A" + End + "}");
}

TEST(ConvertDocument, NoImageGivesEmptyBufferAndSummary) {
    CharTable table{};
    BuildCharTable(table);
    RtfBuffer buffer;
    std::int64_t attributes = 5;
    EXPECT_EQ(ConvertDocumentToRtf({nullptr, 0, 0, &table, &buffer, &attributes}), u"");
    EXPECT_EQ(buffer.used, 0);
    EXPECT_EQ(buffer.capacity, 65536);
    EXPECT_EQ(attributes, 0);
}

TEST(ConvertDocument, EndMarkerAndEndOfFile) {
    EXPECT_EQ(Body({26}), "");
    EXPECT_EQ(Body({26, 'x'}), "");
    EXPECT_EQ(Body({'A'}), Open + "A" + End);
    // An end marker inside an escape is the escaped character, not the end.
    EXPECT_EQ(Body({27, 83, 2, 26, 'z'}), Open + "\\b \\b0 z" + End);
}

TEST(ConvertDocument, HardBreaksAndLineFeeds) {
    EXPECT_EQ(Body({'a', 13, 13}), Open + "a" + End + Open + End);
    EXPECT_EQ(Body({'a', 13, 10, 'b'}), Open + "a" + End + Open + "b" + End);
    EXPECT_EQ(Body({'a', 10, 'b'}), Open + "ab" + End);
    EXPECT_EQ(Body({10, 13}), Open + End);
    EXPECT_EQ(Body({13, 10, 10}), Open + End);
}

TEST(ConvertDocument, SoftBreakDropsTheSpacesAfterIt) {
    EXPECT_EQ(Body({'x', 141, 32, 32, 'y'}), Open + "x y" + End);
    EXPECT_EQ(Body({'x', 141, 160, 128, 'y'}), Open + "x y" + End);
    // A tab keeps the soft-break state; a control code clears it.
    EXPECT_EQ(Body({141, 9, 32}), Open + " \\tab " + End);
    EXPECT_EQ(Body({141, 1, 32}), Open + "  " + End);
    // A hard break ends it too.
    EXPECT_EQ(Body({141, 13, 32}), Open + " " + End + Open + " " + End);
}

TEST(ConvertDocument, SpaceCarriesAttributesOnlyBetweenEqualEscapes) {
    const std::uint8_t esc = 27, s = 83;
    EXPECT_EQ(Body({esc, s, 1, 'a', 32, esc, s, 1, 'b'}), Open + "\\ul a b\\ulnone " + End);
    EXPECT_EQ(Body({esc, s, 1, 'a', 32, esc, s, 2, 'b'}),
              Open + "\\ul a\\ulnone  \\b b\\b0 " + End);
    // In a run of spaces only the last one looks ahead to the escape.
    EXPECT_EQ(Body({esc, s, 1, 'a', 32, 32, esc, s, 1, 'b'}),
              Open + "\\ul a\\ulnone  \\ul  b\\ulnone " + End);
    // A plain character between resets the carry.
    EXPECT_EQ(Body({esc, s, 1, 'a', 'x', 32, esc, s, 1, 'b'}),
              Open + "\\ul a\\ulnone x \\ul b\\ulnone " + End);
    // A line feed between does not.
    EXPECT_EQ(Body({esc, s, 1, 'a', 10, 32, esc, s, 1, 'b'}), Open + "\\ul a b\\ulnone " + End);
}

TEST(ConvertDocument, AttributeGroupsAndWhichBitWins) {
    const std::uint8_t esc = 27, s = 83;
    EXPECT_EQ(Body({esc, s, 1, 'a', 13}), Open + "\\ul a\\ulnone " + End);
    EXPECT_EQ(Body({esc, s, 0x80, 'a', 'b'}), Open + "ab" + End);
    EXPECT_EQ(Body({esc, s, 0x0C, 'a'}), Open + "\\super a\\nosupersub " + End);
    EXPECT_EQ(Body({esc, s, 0x08, 'a'}), Open + "\\sub a\\nosupersub " + End);
    EXPECT_EQ(Body({esc, s, 0x50, 'a'}), Open + "\\charscalex200 a\\charscalex100 " + End);
    EXPECT_EQ(Body({esc, s, 0x40, 'a'}), Open + "\\charscalex67 a\\charscalex100 " + End);
    EXPECT_EQ(Body({esc, s, 0x20, 'a'}), Open + "\\expndtw60 a\\expndtw0 " + End);
    // Every group at once, switched on and off in the fixed order.
    EXPECT_EQ(Body({esc, s, 0x3F, 'a'}), Open +
                                             "\\ul \\b \\super \\charscalex200 \\expndtw60 a"
                                             "\\ulnone \\b0 \\nosupersub \\charscalex100 "
                                             "\\expndtw0 " +
                                             End);
    // A changed bit rewrites its group even when the word stays the same.
    EXPECT_EQ(Body({esc, s, 0x14, 'a', esc, s, 0x1C, 'b'}),
              Open + "\\super \\charscalex200 a\\super b\\nosupersub \\charscalex100 " + End);
}

TEST(ConvertDocument, EscapedCharacterBytesAreCharactersWhateverTheirValue) {
    const std::uint8_t esc = 27, s = 83;
    // A 13 as character switches the attributes but writes nothing and breaks nothing.
    EXPECT_EQ(Body({esc, s, 2, 13, 'x'}), Open + "\\b \\b0 x" + End);
    // 160 is a soft space in the stream but a-acute as an escaped character.
    EXPECT_EQ(Body({esc, s, 2, 160}), Open + "\\b \\'e1\\b0 " + End);
    EXPECT_EQ(Body({esc, s, 2, 0x84}), Open + "\\b \\'e4\\b0 " + End);
    EXPECT_EQ(Body({esc, s, 2, 0xC4}), Open + "\\b \\u9472?\\b0 " + End);
}

TEST(ConvertDocument, IncompleteEscapesAtTheEnd) {
    EXPECT_EQ(Body({'a', 27, 83, 'x'}), Open + "aSx" + End);
    EXPECT_EQ(Body({27, 83, 1}), Open + "S" + End);        // 27 alone, S, then control code 1
    EXPECT_EQ(Body({27, 84, 1, 'a'}), Open + "Ta" + End);  // 27 alone, then T, 1, a
}

TEST(ConvertDocument, PlainStreamCodes) {
    // 127 opens a paragraph but writes nothing; unknown control codes open nothing.
    EXPECT_EQ(Body({127}), Open + End);
    EXPECT_EQ(Body({1, 2, 3}), "");
    EXPECT_EQ(Body({9}), Open + "\\tab " + End);
    EXPECT_EQ(Body({0x81, 0xE1, '{', '}', '\\'}), Open + "\\'fc\\'df\\{\\}\\\\" + End);
    EXPECT_EQ(Body({128, 'a', 160, 'b'}), Open + " a b" + End);
}

TEST(ConvertDocument, PageBreaks) {
    EXPECT_EQ(Body({'a', 12, 'b'}), Open + "a" + End + "\\page\r\n" + Open + "b" + End);
    EXPECT_EQ(Body({12}), "\\page\r\n");
}

TEST(ConvertDocument, TextStartSkipsTheHeaderArea) {
    // 300 bytes: zero at 200, text at 281; the bytes before are never text.
    Bytes bytes(300, 'q');
    bytes[200] = 0;
    bytes[281] = 'T';
    bytes[282] = 26;
    EXPECT_EQ(Body(bytes), Open + "T" + End);
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

// The fast path for plain runs must not change where the buffer grows, nor any byte.
TEST(ConvertDocument, LargeDocumentsGrowLikeSingleAppends) {
    // Control code 1 at both fall-back offsets keeps the text start at 0; it writes nothing.
    Bytes bytes;
    for (int i = 0; i < 200000; ++i)
        bytes.push_back(static_cast<std::uint8_t>("ab\x84 c"[i % 5]));
    bytes[273] = bytes[759] = 1;
    const Converted result = Convert(bytes);
    std::string expected = Header + Open;
    for (int i = 0; i < 200000; ++i) {
        const char c = "ab\x84 c"[i % 5];
        if (i == 273 || i == 759) continue;
        expected += (c == '\x84') ? "\\'e4" : std::string(1, c);
    }
    expected += End + "}";
    EXPECT_EQ(result.rtf, expected);

    // Capacity follows the exact rule: the smallest power-of-two multiple of 65536 that
    // held used + 8 bytes at every append (the last append is the "}").
    CharTable table{};
    BuildCharTable(table);
    RtfBuffer buffer;
    std::int64_t attributes = 0;
    ConvertDocumentToRtf(
        {bytes.data(), static_cast<std::int64_t>(bytes.size()), 0, &table, &buffer, &attributes});
    std::int64_t capacity = 65536;
    while (capacity < buffer.used + 8)
        capacity *= 2;
    EXPECT_EQ(buffer.capacity, capacity);
}

TEST(ConvertDocument, RefusedGrowthMarksTheBufferIncomplete) {
    Bytes bytes(100000, 'a');
    CharTable table{};
    BuildCharTable(table);
    test::RefusingHeap heap;
    RtfBuffer buffer(heap);
    heap.refuseGrowth = true;
    std::int64_t attributes = 0;
    ConvertDocumentToRtf({bytes.data(), 100000, 0, &table, &buffer, &attributes});
    EXPECT_FALSE(buffer.complete());
    EXPECT_LE(buffer.used + 8, buffer.capacity);
}

}  // namespace
}  // namespace brevikon
