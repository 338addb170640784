// The steps every read shares, whole or in blocks: the pieces add up in order, none larger
// than the buffer; bytes past the length found at opening are not taken; a file that delivers
// less, or fails halfway, is refused: never an image with a zero tail, never a digest of part.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "files/read_steps.h"

namespace brevikon {
namespace {

// A file that delivers `bytes`, at most `perRead` at a time, then ends or fails.
auto Source(std::string bytes, std::size_t perRead, bool fails) {
    return [=, at = std::size_t{0}](unsigned char* into, std::int64_t count) mutable {
        if (at == bytes.size()) return std::int64_t{fails ? -1 : 0};
        const std::size_t piece =
            std::min<std::size_t>({perRead, bytes.size() - at, static_cast<std::size_t>(count)});
        std::memcpy(into, bytes.data() + at, piece);
        at += piece;
        return static_cast<std::int64_t>(piece);
    };
}

TEST(ReadSteps, WholeAndInBlocksOfFourBytes) {
    const struct {
        std::int64_t length;  // as found at opening
        std::string bytes;    // what the file delivers
        std::size_t perRead;
        bool fails;  // the read after them fails
        ReadStatus status;
    } cases[] = {
        {10, "0123456789", 3, false, ReadStatus::Ok},
        {10, "0123456789", 100, false, ReadStatus::Ok},
        {5, "0123456789", 100, false, ReadStatus::Ok},     // grew while read
        {10, "01234", 100, false, ReadStatus::ShortRead},  // shrank while read
        {10, "01234", 2, true, ReadStatus::ShortRead},
    };
    for (const auto& c : cases) {
        const std::string taken = c.bytes.substr(0, static_cast<std::size_t>(c.length));
        ReadResult whole, blocks;
        HeapBlock image;
        ASSERT_TRUE(read_steps::AcceptLength(whole, image, c.length, 100, ProcessHeap()));
        read_steps::FillImage(whole, image, Source(c.bytes, c.perRead, c.fails));
        EXPECT_EQ(whole.status, c.status) << taken;
        EXPECT_EQ(image.held(), c.status == ReadStatus::Ok) << taken;
        EXPECT_EQ(std::string(image.data(), image.data() + image.size()),
                  image.held() ? taken : "");

        blocks.length = c.length;
        std::vector<unsigned char> buffer(4);
        std::string got;
        read_steps::FeedBlocks(blocks, buffer, Source(c.bytes, c.perRead, c.fails),
                               [&](const unsigned char* bytes, std::size_t size) {
                                   EXPECT_TRUE(size > 0 && size <= buffer.size()) << taken;
                                   got.append(bytes, bytes + size);
                               });
        EXPECT_EQ(blocks.status, c.status) << taken;
        EXPECT_EQ(got, taken);
    }
}

// The halves read at once: one that ends or fails early is a short read whichever half it is,
// with the failing half's error; the whole arrives in place however small the reads.
TEST(ReadSteps, TwoPartsAtOnce) {
    std::string bytes(1000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>('a' + i * 7 % 26);
    const struct {
        std::size_t delivered;  // the file ends, or fails, after these bytes
        std::size_t perRead;
        bool fails;
        ReadStatus status;
    } cases[] = {
        {1000, 1000, false, ReadStatus::Ok},       {1000, 7, false, ReadStatus::Ok},
        {999, 1000, false, ReadStatus::ShortRead},  // shrank: the second half ends early
        {400, 1000, false, ReadStatus::ShortRead},  // shrank into the first half
        {700, 13, true, ReadStatus::ShortRead},    {200, 13, true, ReadStatus::ShortRead},
    };
    for (const auto& c : cases) {
        ReadResult result;
        HeapBlock image;
        ASSERT_TRUE(read_steps::AcceptLength(result, image, 1000, 1000, ProcessHeap()));
        read_steps::FillImageInTwoParts(
            result, image,
            [&](unsigned char* into, std::int64_t offset, std::int64_t count, int& error) {
                const auto at = static_cast<std::size_t>(offset);
                if (at >= c.delivered) {
                    if (!c.fails) return std::int64_t{0};
                    error = 5;
                    return std::int64_t{-1};
                }
                const std::size_t piece = std::min<std::size_t>(
                    {c.perRead, c.delivered - at, static_cast<std::size_t>(count)});
                std::memcpy(into, bytes.data() + at, piece);
                return static_cast<std::int64_t>(piece);
            });
        EXPECT_EQ(result.status, c.status) << c.delivered;
        EXPECT_EQ(result.systemError, c.fails ? 5 : 0) << c.delivered;
        EXPECT_EQ(std::string(image.data(), image.data() + image.size()),
                  c.status == ReadStatus::Ok ? bytes : "");
    }
}

}  // namespace
}  // namespace brevikon
