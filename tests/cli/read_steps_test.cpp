// The steps every whole-file read shares: a file that delivers less than its length, or
// fails halfway, is never taken as a document with a zero-filled tail.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "files/read_steps.h"

namespace brevikon {
namespace {

TEST(ReadSteps, PiecesAddUpAndAShortOrFailedReadIsRefused) {
    struct Case {
        std::int64_t length;  // announced
        std::string bytes;    // what the file delivers, at most 3 bytes per read
        bool fails;           // the read after the delivered bytes fails
        ReadStatus expected;
    };
    const Case cases[] = {
        {7, "Dokumen", false, ReadStatus::Ok},
        {7, "Doku", false, ReadStatus::ShortRead},  // shrank while being read
        {7, "Doku", true, ReadStatus::ShortRead},
    };
    for (const Case& c : cases) {
        ReadResult result;
        HeapBlock image;
        ASSERT_TRUE(read_steps::AcceptLength(result, image, c.length, 100, ProcessHeap()));
        std::size_t at = 0;
        read_steps::FillImage(result, image,
                              [&](unsigned char* into, std::int64_t count) -> std::int64_t {
                                  if (at == c.bytes.size()) return c.fails ? -1 : 0;
                                  const std::size_t piece = std::min<std::size_t>(
                                      {3, c.bytes.size() - at, static_cast<std::size_t>(count)});
                                  std::memcpy(into, c.bytes.data() + at, piece);
                                  at += piece;
                                  return static_cast<std::int64_t>(piece);
                              });
        EXPECT_EQ(result.status, c.expected) << c.bytes;
        EXPECT_EQ(image.held(), c.expected == ReadStatus::Ok) << c.bytes;
        if (image.held()) {
            EXPECT_EQ(std::string(reinterpret_cast<char*>(image.data()), 7), c.bytes);
        }
    }
}

}  // namespace
}  // namespace brevikon
