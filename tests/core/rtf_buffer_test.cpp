// Growth policy, escaping and the behaviour when the heap refuses memory.
#include <gtest/gtest.h>

#include <string>

#include "rtf/rtf_buffer.h"
#include "support/refusing_heap.h"

namespace brevikon {
namespace {

TEST(RtfBufferGrowth, KeepsEightSpareBytesAndDoubles) {
    RtfBuffer buffer;
    ResetRtfBuffer(buffer);
    EXPECT_EQ(buffer.capacity, 65536);
    AppendRtf(buffer, std::string(65528, 'a'));  // 65528 + 8 fits exactly
    EXPECT_EQ(buffer.capacity, 65536);
    AppendRtf(buffer, "b");
    EXPECT_EQ(buffer.capacity, 131072);
    EXPECT_EQ(buffer.used, 65529);
    EXPECT_EQ(buffer.content().back(), 'b');
}

TEST(RtfBufferGrowth, GrowsOnceByAsManyDoublingsAsNeeded) {
    RtfBuffer buffer;
    ResetRtfBuffer(buffer);
    AppendRtf(buffer, std::string(65000, 'a'));
    AppendRtf(buffer, std::string(600, 'b'));
    EXPECT_EQ(buffer.capacity, 131072);

    ResetRtfBuffer(buffer);
    EXPECT_EQ(buffer.capacity, 65536);
    EXPECT_EQ(buffer.used, 0);
    AppendRtf(buffer, std::string(65000, 'a'));
    AppendRtf(buffer, std::string(200000, 'b'));
    EXPECT_EQ(buffer.capacity, 524288);
    EXPECT_EQ(buffer.content().substr(0, 65000), std::string(65000, 'a'));
    EXPECT_EQ(buffer.content().substr(65000), std::string(200000, 'b'));
    // Bytes added by growth are zero-filled.
    EXPECT_EQ(buffer.storage[buffer.used], 0);
    EXPECT_EQ(buffer.storage[buffer.capacity - 1], 0);
}

TEST(RtfBufferGrowth, NothingIsAppendedWithoutStorage) {
    RtfBuffer buffer;
    AppendRtf(buffer, "\\par}");
    AppendRtfChar(buffer, 'A');
    EXPECT_EQ(buffer.used, 0);
    EXPECT_EQ(buffer.capacity, 0);
    EXPECT_FALSE(buffer.complete());
    ResetRtfBuffer(buffer);
    AppendRtf(buffer, "");
    EXPECT_EQ(buffer.used, 0);
    EXPECT_TRUE(buffer.complete());
}

TEST(RtfBufferGrowth, RefusedGrowthKeepsContentAndIsRemembered) {
    test::RefusingHeap heap;
    RtfBuffer buffer(heap);
    ResetRtfBuffer(buffer);
    AppendRtf(buffer, std::string(65000, 'a'));
    heap.refuseGrowth = true;
    AppendRtf(buffer, std::string(1000, 'b'));
    EXPECT_EQ(buffer.capacity, 65536);
    EXPECT_EQ(buffer.used, 65000);
    EXPECT_EQ(buffer.content(), std::string(65000, 'a'));
    EXPECT_TRUE(buffer.appendLost);
    EXPECT_FALSE(buffer.complete());
    // A small append that still fits goes in, but the loss stays on record until a reset.
    AppendRtf(buffer, "c");
    EXPECT_EQ(buffer.used, 65001);
    EXPECT_FALSE(buffer.complete());
    ResetRtfBuffer(buffer);
    EXPECT_TRUE(buffer.complete());
}

TEST(RtfBufferGrowth, RefusedResetLeavesNoStorage) {
    test::RefusingHeap heap;
    RtfBuffer buffer(heap);
    heap.refuseAllocation = true;
    ResetRtfBuffer(buffer);
    EXPECT_EQ(buffer.storage, nullptr);
    AppendRtf(buffer, "x");
    EXPECT_EQ(buffer.used, 0);
    EXPECT_FALSE(buffer.complete());
}

std::string Escaped(std::int64_t code) {
    RtfBuffer buffer;
    ResetRtfBuffer(buffer);
    AppendRtfChar(buffer, code);
    return std::string(buffer.content());
}

TEST(AppendRtfChar, EscapesEveryRange) {
    EXPECT_EQ(Escaped(92), "\\\\");
    EXPECT_EQ(Escaped(123), "\\{");
    EXPECT_EQ(Escaped(125), "\\}");
    EXPECT_EQ(Escaped(65), "A");
    EXPECT_EQ(Escaped(32), " ");
    EXPECT_EQ(Escaped(126), "~");
    EXPECT_EQ(Escaped(127), "");
    EXPECT_EQ(Escaped(159), "");
    EXPECT_EQ(Escaped(160), "\\'a0");
    EXPECT_EQ(Escaped(228), "\\'e4");
    EXPECT_EQ(Escaped(255), "\\'ff");
    EXPECT_EQ(Escaped(256), "\\u256?");
    EXPECT_EQ(Escaped(8364), "\\u8364?");
    EXPECT_EQ(Escaped(40000), "\\u40000?");  // unsigned, never negative
    EXPECT_EQ(Escaped(65535), "\\u65535?");
    EXPECT_EQ(Escaped(9), "");
    EXPECT_EQ(Escaped(10), "");
    EXPECT_EQ(Escaped(13), "");
    EXPECT_EQ(Escaped(0), "");
    EXPECT_EQ(Escaped(-1), "");
}

std::string AsRtfText(std::u16string_view text) {
    RtfBuffer buffer;
    ResetRtfBuffer(buffer);
    AppendRtfText(buffer, text);
    return std::string(buffer.content());
}

TEST(AppendRtfText, LineFeedsBecomeLineWordsAndCarriageReturnsVanish) {
    EXPECT_EQ(AsRtfText(u"A\r\nB\tC"), "A\\line\r\nBC");
    EXPECT_EQ(AsRtfText(u"\n"), "\\line\r\n");
    EXPECT_EQ(AsRtfText(u"\r"), "");
    EXPECT_EQ(AsRtfText(u""), "");
    EXPECT_EQ(AsRtfText(u"{\u00FC}\\\u2500"), "\\{\\'fc\\}\\\\\\u9472?");
}

}  // namespace
}  // namespace brevikon
