// Growth policy, escaping and the behaviour when the heap refuses memory.
#include <gtest/gtest.h>

#include <string>

#include "rtf/rtf_buffer.h"
#include "support/refusing_heap.h"

namespace brevikon {
namespace {

TEST(RtfBufferGrowth, KeepsEightSpareBytesAndDoublesOnceAsFarAsNeeded) {
    RtfBuffer buffer;
    ResetRtfBuffer(buffer);
    EXPECT_EQ(buffer.capacity, 65536);
    AppendRtf(buffer, std::string(65528, 'a'));  // 65528 + 8 fits exactly
    EXPECT_EQ(buffer.capacity, 65536);
    AppendRtf(buffer, "b");
    EXPECT_EQ(buffer.capacity, 131072);
    EXPECT_EQ(buffer.used, 65529);

    ResetRtfBuffer(buffer);
    EXPECT_EQ(buffer.capacity, 65536);
    EXPECT_EQ(buffer.used, 0);
    AppendRtf(buffer, std::string(65000, 'a'));
    AppendRtf(buffer, std::string(200000, 'b'));
    EXPECT_EQ(buffer.capacity, 524288);
    EXPECT_EQ(buffer.content(), std::string(65000, 'a') + std::string(200000, 'b'));
    // Bytes added by growth are zero-filled.
    EXPECT_EQ(buffer.storage[buffer.used], 0);
    EXPECT_EQ(buffer.storage[buffer.capacity - 1], 0);
}

TEST(RtfBufferGrowth, NothingIsAppendedWithoutStorageAndThatIsRemembered) {
    RtfBuffer never;
    AppendRtf(never, "\\par}");
    AppendRtfChar(never, 'A');
    EXPECT_EQ(never.used, 0);
    EXPECT_FALSE(never.complete());

    test::RefusingHeap heap;
    RtfBuffer refused(heap);
    heap.refuseAllocation = true;
    ResetRtfBuffer(refused);
    EXPECT_EQ(refused.storage, nullptr);
    AppendRtf(refused, "x");
    EXPECT_EQ(refused.used, 0);
    EXPECT_FALSE(refused.complete());
}

TEST(RtfBufferGrowth, RefusedGrowthKeepsContentAndIsRememberedUntilAReset) {
    test::RefusingHeap heap;
    RtfBuffer buffer(heap);
    ResetRtfBuffer(buffer);
    AppendRtf(buffer, std::string(65000, 'a'));
    heap.refuseGrowth = true;
    AppendRtf(buffer, std::string(1000, 'b'));
    EXPECT_EQ(buffer.capacity, 65536);
    EXPECT_EQ(buffer.content(), std::string(65000, 'a'));
    EXPECT_FALSE(buffer.complete());
    // A small append that still fits goes in, but the loss stays on record.
    AppendRtf(buffer, "c");
    EXPECT_EQ(buffer.used, 65001);
    EXPECT_FALSE(buffer.complete());
    ResetRtfBuffer(buffer);
    EXPECT_TRUE(buffer.complete());
}

TEST(AppendRtfChar, EscapesEveryRange) {
    // Control codes, 127 and the C1 range have no form; codes past 255 are unsigned.
    const std::pair<std::int64_t, std::string> cases[] = {{92, "\\\\"},
                                                          {123, "\\{"},
                                                          {125, "\\}"},
                                                          {65, "A"},
                                                          {32, " "},
                                                          {126, "~"},
                                                          {127, ""},
                                                          {159, ""},
                                                          {160, "\\'a0"},
                                                          {228, "\\'e4"},
                                                          {255, "\\'ff"},
                                                          {256, "\\u256?"},
                                                          {8364, "\\u8364?"},
                                                          {40000, "\\u40000?"},
                                                          {65535, "\\u65535?"},
                                                          {9, ""},
                                                          {10, ""},
                                                          {13, ""},
                                                          {0, ""},
                                                          {-1, ""}};
    for (const auto& [code, escaped] : cases) {
        RtfBuffer buffer;
        ResetRtfBuffer(buffer);
        AppendRtfChar(buffer, code);
        EXPECT_EQ(buffer.content(), escaped) << code;
    }
}

TEST(AppendRtfText, LineFeedsBecomeLineWordsAndCarriageReturnsVanish) {
    const std::pair<std::u16string, std::string> cases[] = {
        {u"A\r\nB\tC", "A\\line\r\nBC"},
        {u"\n", "\\line\r\n"},
        {u"\r", ""},
        {u"{\u00FC}\\\u2500", "\\{\\'fc\\}\\\\\\u9472?"}};
    for (const auto& [text, rtf] : cases) {
        RtfBuffer buffer;
        ResetRtfBuffer(buffer);
        AppendRtfText(buffer, text);
        EXPECT_EQ(buffer.content(), rtf) << rtf;
    }
}

}  // namespace
}  // namespace brevikon
