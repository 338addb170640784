// The fixity layer with the system's provider: the digest and time of a file read in blocks,
// times as ISO 8601 in UTC.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli_fixture.h"
#include "fixity/file_hash.h"
#include "fixity/sha256.h"
#include "fixity/utc_time.h"
#include "support/refusing_heap.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace brevikon {
namespace {

namespace fs = std::filesystem;

class FileHashTest : public test::CliFixture {};

// Any length, empty too, every block once and in order, as one piece would hash it (the small
// ones: digests NIST publishes); a file not read, or without a block to read it into, has no
// digest, never that of nothing.
TEST_F(FileHashTest, RegularFilesOfAnyLength) {
    std::string large(3 * HashBlockSize + 17, '\0');
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i % 251);  // no two blocks alike
    test::WriteFile(folder_ / "gross.bin", large);
    test::WriteFile(folder_ / "leer.txt", "");
    test::WriteFile(folder_ / "abc.txt", "abc");
    test::RefusingHeap refusing;
    refusing.refuseAllocation = true;
    const struct {
        fs::path path;
        Heap& heap;
        ReadStatus status;
        std::size_t length;
        std::string sha256;
    } cases[] = {
        {folder_ / "gross.bin", ProcessHeap(), ReadStatus::Ok, large.size(), Sha256Hex(large)},
        {folder_ / "leer.txt", ProcessHeap(), ReadStatus::Ok, 0,
         "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {folder_ / "abc.txt", ProcessHeap(), ReadStatus::Ok, 3,
         "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {folder_ / "fehlt.txt", ProcessHeap(), ReadStatus::Missing, 0, ""},
        {folder_ / "leer.txt", refusing, ReadStatus::OutOfMemory, 0, ""},
    };
    for (const auto& c : cases) {
        const FileHash hash = HashFile(c.path.native(), c.heap);
        EXPECT_EQ(hash.read.status, c.status) << c.path;
        EXPECT_EQ(hash.read.length, static_cast<std::int64_t>(c.length)) << c.path;
        EXPECT_EQ(hash.sha256, c.sha256) << c.path;
    }
}

#ifndef _WIN32
// The opened file's own time, to the nanosecond, before 1970 and past 2038: through a link the
// file's, not the link's, and never the last access.
TEST_F(FileHashTest, ModificationTimeIsTheOpenedFilesOwn) {
    const fs::path file = folder_ / "brief.txt", link = folder_ / "link.txt";
    test::WriteFile(file, "Hi");
    fs::create_symlink(file, link);
    const timespec linkTimes[2] = {{0, UTIME_OMIT}, {1'000'000'000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, link.c_str(), linkTimes, AT_SYMLINK_NOFOLLOW), 0);
    for (const timespec time : {timespec{-31'536'000, 5}, timespec{4'107'542'400, 999'999'999}}) {
        const timespec set[2] = {{1, 0}, time};
        ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), set, 0), 0);
        const FileTime modified = HashFile(link.native(), ProcessHeap()).read.modified;
        EXPECT_EQ(modified.seconds, time.tv_sec);
        EXPECT_EQ(modified.nanoseconds, time.tv_nsec);
    }
}
#endif

// Expected texts from GNU date (-u -d @SECONDS) and, beyond its years, from Python's calendar
// shifted by whole 400-year cycles.
TEST(UtcTimeText, CalendarRulesAndEveryRepresentableSecond) {
    const std::pair<std::int64_t, std::string> cases[] = {
        {-1, "1969-12-31T23:59:59Z"},
        {951'782'400, "2000-02-29T00:00:00Z"},     // divisible by 400: a leap year
        {-2'203'891'200, "1900-03-01T00:00:00Z"},  // divisible by 100 only: none
        {4'107'542'400, "2100-03-01T00:00:00Z"},
        {2'147'483'648, "2038-01-19T03:14:08Z"},  // past a signed 32-bit count
        {253'402'300'799, "9999-12-31T23:59:59Z"},
        {253'402'300'800, "+10000-01-01T00:00:00Z"},
        {-62'167'219'201, "-0001-12-31T23:59:59Z"},
        {INT64_MAX, "+292277026596-12-04T15:30:07Z"},
        {INT64_MIN, "-292277022657-01-27T08:29:52Z"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(UtcTimeText(seconds), text) << seconds;
}

}  // namespace
}  // namespace brevikon
