// --to report and --to report-rtf: where the report goes and what it names.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "analysis/report_rtf.h"
#include "analysis/structure_report.h"
#include "base/text.h"
#include "support/converter_run.h"

namespace brevikon {
namespace {

namespace fs = std::filesystem;

using test::Native;
using test::ReadFile;

test::ConverterRun RunConverterWith(const std::vector<NativeString>& arguments) {
    return test::RunConverterCaptured(arguments);
}

class ReportFormatTest : public testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / "brevikon-report-format";
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "texte");
        // Bytes with an umlaut, a soft break and an attribute escape.
        first_ = std::string("Gr\x81\xE1\x65\x8D\x1BS\x02x\r\n\x1A", 12);
        std::ofstream(folder_ / "texte" / "BRIEF.TXT", std::ios::binary) << first_;
        std::ofstream(folder_ / "ZWEI.DOC", std::ios::binary) << "abc";
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path folder_;
    std::string first_;
};

std::string ReportOf(const std::string& bytes, std::u16string_view path) {
    return Utf16ToUtf8(BuildStructureReport(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                            static_cast<std::int64_t>(bytes.size()), path));
}

TEST_F(ReportFormatTest, ReportsGoToStandardOutputInArgumentOrder) {
    const test::ConverterRun run =
        RunConverterWith({Native("--to"), Native("report"), Native(folder_ / "texte/BRIEF.TXT"),
                          Native(folder_ / "ZWEI.DOC")});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::string expected = ReportOf(first_, u"BRIEF.TXT") + ReportOf("abc", u"ZWEI.DOC");
    EXPECT_EQ(run.out, expected);
    EXPECT_NE(run.out.find("Datei           : BRIEF.TXT\n"), std::string::npos);
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
    EXPECT_FALSE(fs::exists(folder_ / "texte" / "BRIEF.rtf"));
    EXPECT_FALSE(fs::exists(folder_ / "texte" / "BRIEF.report.txt"));
}

TEST_F(ReportFormatTest, ReportsWithOutputDirectoryAreFiles) {
    const test::ConverterRun run =
        RunConverterWith({Native("--to=report"), Native("-d"), Native(folder_ / "out"),
                          Native(folder_ / "texte/BRIEF.TXT")});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(ReadFile(folder_ / "out" / "BRIEF.report.txt"), ReportOf(first_, u"BRIEF.TXT"));
}

TEST_F(ReportFormatTest, ReportRtfIsWhatTheAnalysisViewSaves) {
    const test::ConverterRun run = RunConverterWith(
        {Native("--to"), Native("report-rtf"), Native("-v"), Native(folder_ / "texte/BRIEF.TXT")});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "BRIEF.TXT   -   Strukturanalyse\n");
    RtfBuffer expected;
    RenderReportRtf(expected,
                    BuildStructureReport(reinterpret_cast<const std::uint8_t*>(first_.data()),
                                         static_cast<std::int64_t>(first_.size()), u"BRIEF.TXT"));
    EXPECT_EQ(ReadFile(folder_ / "texte" / "BRIEF.rtf"), expected.content());
}

TEST_F(ReportFormatTest, RefusalsAreTheSameAsForRtf) {
    std::ofstream(folder_ / "empty.txt", std::ios::binary).close();
    const test::ConverterRun run =
        RunConverterWith({Native("--to"), Native("report"), Native(folder_ / "empty.txt"),
                          Native(folder_ / "ZWEI.DOC")});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("empty.txt: Die Datei ist leer.\n"), std::string::npos);
    EXPECT_EQ(run.out, ReportOf("abc", u"ZWEI.DOC"));
}

}  // namespace
}  // namespace brevikon
