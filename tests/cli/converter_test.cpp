// brevikon-rtf's options: output names and forms, where the output goes, usage errors; the
// bundled samples in every form against the golden files beside them, which were checked by
// hand against the rules (and character for character against the hand-checked RTF).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "analysis/report_rtf.h"
#include "analysis/structure_report.h"
#include "base/text.h"
#include "cli_fixture.h"

namespace brevikon {
namespace {

namespace fs = std::filesystem;
using test::Files;
using test::ReadFile;
using test::SmallDocument;
using test::WriteFile;

// An umlaut, a sharp s, a soft break and a bold x: "Grüße x".
const std::string Letter = "Gr\x81\xE1\x65\x8D\x1BS\x02x\r\n\x1a";

std::u16string ReportOf(const std::string& bytes, std::u16string_view name) {
    return BuildStructureReport(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                static_cast<std::int64_t>(bytes.size()), name);
}

class ConverterTest : public test::CliFixture {};

// Each form has its default name (here under -d), replaces an earlier output without a question,
// writes nothing else, and holds what "-o -" gives.
TEST_F(ConverterTest, EveryFormHasItsDefaultName) {
    const fs::path input = WriteFile(folder_ / "BRIEF.TXT", Letter);
    const std::string plain = "BRIEF.TXT   (13 Bytes)   Text ab 0\n";
    const std::string analysis = "BRIEF.TXT   -   Strukturanalyse\n";
    std::vector<std::array<std::string, 3>> forms = {
        {"rtf", "BRIEF.rtf", plain},           {"text", "BRIEF.utf8.txt", plain},
        {"html", "BRIEF.html", plain},         {"report", "BRIEF.report.txt", analysis},
        {"report-rtf", "BRIEF.rtf", analysis}, {"odt", "BRIEF.odt", plain},
        {"docx", "BRIEF.docx", plain}};
    Files written{"BRIEF.TXT", "BRIEF.docx",       "BRIEF.html", "BRIEF.odt",
                  "BRIEF.pdf", "BRIEF.report.txt", "BRIEF.rtf",  "BRIEF.utf8.txt"};
#if defined(_WIN32)
    written.erase(written.begin() + 4);  // the PDF's fonts are Linux packages
#else
    forms.push_back({"pdf", "BRIEF.pdf", plain});
#endif
    std::map<std::string, std::string> streamed;
    for (const auto& [format, output, status] : forms) {
        SCOPED_TRACE(format);
        ASSERT_EQ(Run({"--to", format, "-o", "-", input}), 0) << err_;
        streamed[format] = out_;
        WriteFile(folder_ / output, "earlier output");
        ASSERT_EQ(Run({"--to=" + format, "-v", "-d", folder_, input}), 0) << err_;
        EXPECT_EQ(ReadFile(folder_ / output), streamed[format]);
        EXPECT_EQ(out_ + err_,
                  input.string() + " -> " + (folder_ / output).string() + ": " + status);
    }
    EXPECT_EQ(FilesBelow(folder_), written);
    EXPECT_EQ(streamed["text"], "Gr\xC3\xBC\xC3\x9F\x65 x\n");
    EXPECT_EQ(streamed["report"], Utf16ToUtf8(ReportOf(Letter, u"BRIEF.TXT")));
    RtfBuffer report;
    RenderReportRtf(report, ReportOf(Letter, u"BRIEF.TXT"));
    EXPECT_EQ(streamed["report-rtf"], report.content());
}

TEST_F(ConverterTest, EverySampleMatchesItsGoldenFiles) {
    const fs::path samples = fs::path(BREVIKON_SOURCE_DIR) / "samples";
    int documents = 0;
    for (const auto& entry : fs::directory_iterator(samples)) {
        // Every file that is neither a golden file nor the README is a document.
        const std::string name = entry.path().filename().string();
        const char* endings[] = {".rtf", ".utf8.txt", ".html", ".report.txt",
                                 ".odt", ".docx",     ".md"};
        if (name[0] == '.' ||
            std::ranges::any_of(endings, [&](auto e) { return name.ends_with(e); }))
            continue;
        ++documents;
        for (const auto& [format, ending] : {std::pair{"rtf", ".rtf"},
                                             {"text", ".utf8.txt"},
                                             {"html", ".html"},
                                             {"report", ".report.txt"}}) {
            const fs::path expected = samples / (entry.path().stem().string() + ending);
            ASSERT_EQ(Run({"--to", format, "-o", "-", entry.path()}), 0) << err_;
            EXPECT_TRUE(out_ == ReadFile(expected)) << name << " differs from " << expected;
        }
    }
    EXPECT_GE(documents, 5);
    ASSERT_EQ(Run({"-p", "-o", "-", samples / "BRIEF.TXT"}), 0);
    EXPECT_TRUE(out_ == ReadFile(samples / "BRIEF.proportional.rtf"));
    ASSERT_EQ(Run({"-p", "--to", "html", "-o", "-", samples / "BRIEF.TXT"}), 0);
    EXPECT_NE(out_.find("font-family: \"Times New Roman\""), std::string::npos);
    // The office packages are the same bytes on every platform (zlib's deflate, fixed times).
    for (const char* form : {"odt", "docx"}) {
        ASSERT_EQ(Run({"--to", form, "-o", "-", samples / "BRIEF.TXT"}), 0);
        EXPECT_TRUE(out_ == ReadFile(samples / ("BRIEF." + std::string(form)))) << form;
    }
}

TEST_F(ConverterTest, OutputOptions) {
    for (const char* name : {".profil", "-dash.txt"})
        WriteFile(folder_ / name, SmallDocument);
    const std::string rtf = RtfOf(WriteFile(folder_ / "a.doc", SmallDocument));
    // After "--" a name starting with '-' is a file; -j takes its number attached too.
    EXPECT_EQ(Run({"-j3", "--jobs", "256", "-o", folder_ / "x.out", "--", folder_ / "-dash.txt"}),
              0);
    EXPECT_EQ(ReadFile(folder_ / "x.out"), rtf);
    EXPECT_EQ(Run({"--output-dir=" + (folder_ / "out").string(), "-v", "-q", folder_ / "a.doc",
                   folder_ / ".profil"}),
              0);
    EXPECT_EQ(FilesBelow(folder_ / "out"), (Files{".profil.rtf", "a.rtf"}));
    EXPECT_EQ(ReadFile(folder_ / "out" / ".profil.rtf"), rtf);
    EXPECT_EQ(err_, "");  // -q silences -v
    // Reports are read, not stored: without -o or -d they go to standard output in argument
    // order, and a refused file leaves the others' reports.
    WriteFile(folder_ / "empty.txt", "");
    EXPECT_EQ(
        Run({"--to", "report", folder_ / "-dash.txt", folder_ / "empty.txt", folder_ / "a.doc"}),
        1);
    EXPECT_EQ(out_, Utf16ToUtf8(ReportOf(SmallDocument, u"-dash.txt") +
                                ReportOf(SmallDocument, u"a.doc")));
    EXPECT_EQ(err_, Failure(folder_ / "empty.txt", "Die Datei ist leer."));
    EXPECT_FALSE(fs::exists(folder_ / "a.report.txt"));
}

// A usage error converts nothing and exits with 2: its one line, and where to read more.
TEST_F(ConverterTest, UsageErrors) {
    const fs::path a = folder_ / "a.txt", x = folder_ / "x";
    WriteFile(a, SmallDocument);
    const std::pair<std::vector<fs::path>, std::string> usages[] = {
        {{}, "Keine DATEI angegeben."},
        {{"--bogus", a}, "Unbekannte Option: --bogus"},
        {{"--to", "epub", a}, "Unbekanntes Format: epub"},
#if defined(_WIN32)
        {{"--to", "pdf", a},
         "--to pdf: Diese Ausgabe von brevikon-rtf schreibt diese Form nicht (ihre Schriften "
         "gibt es hier nicht); brevikon-rtf unter Linux schreibt sie."},
#endif
        {{"--reflow", "--to", "rtf,html", a},
         "--reflow gilt fuer die Textform und geht nur mit --to text."},
        {{a, "-o"}, "Option -o braucht einen Wert."},
        {{"-o", x, a, x}, "-o geht nur mit einer einzigen DATEI."},
        {{"-o", "", a}, "-o braucht einen Pfad."},
        {{"-d", "", a}, "-d braucht einen Pfad."},
        {{"-o", x, "-d", x, a}, "-o und -d schliessen einander aus."},
        {{"-r", "-o", x, folder_}, "-o geht nicht mit -r: ein Ordner gibt mehrere Ausgaben."},
        {{"--match", "*.txt", a}, "--match gilt fuer Dateien in Ordnern und geht nur mit -r."},
        {{"-j"}, "Option -j braucht einen Wert."},
        {{"-j", "0", a}, "-j braucht eine Zahl von 1 bis 256: 0"},
        {{"-j", "-1", a}, "-j braucht eine Zahl von 1 bis 256: -1"},
        {{"--jobs=zwei", a}, "-j braucht eine Zahl von 1 bis 256: zwei"},
        {{"-j257", a}, "-j braucht eine Zahl von 1 bis 256: 257"},
        {{"-j", "", a}, "-j braucht eine Zahl von 1 bis 256: "},
        {{"--memory-budget", "0", a},
         "--memory-budget braucht eine Zahl (MiB) von 1 bis 1048576: 0"},
        {{"--memory-budget=2G", a},
         "--memory-budget braucht eine Zahl (MiB) von 1 bis 1048576: 2G"},
        {{"--manifest", "-", "-o", "-", a},
         "--manifest - geht nicht, wenn die Ausgabe zur Standardausgabe geht."},
        {{"--verify", x, a}, "--verify prueft ein Protokoll und nimmt keine DATEI."},
        {{"--to", "rtf,report-rtf", a}, "--to: rtf und report-rtf ergeben beide .rtf."},
        {{"--to", "rtf,", a}, "Unbekanntes Format: rtf,"},
        {{"--to", "rtf,text", "-o", x, a},
         "-o geht nur mit einer FORM; mehrere gehen mit -d oder neben die DATEI."},
        {{"--skip-non-documents", a},
         "--skip-non-documents gilt fuer Dateien in Ordnern und geht nur mit -r."},
    };
    for (const auto& [arguments, message] : usages) {
        SCOPED_TRACE(message);
        EXPECT_EQ(Run(arguments), 2);
        EXPECT_EQ(err_, "brevikon-rtf: " + message + "\nMehr mit: brevikon-rtf --help\n");
    }
    EXPECT_EQ(FilesBelow(folder_), Files{"a.txt"});

    ASSERT_EQ(Run({"--help"}), 0);
    for (const char* documented :
         {"--output-dir", "--recursive", "--match", "--jobs", ".utf8.txt", ".html", "--manifest",
          "--verify", "--keep-extension", "--skip-non-documents"}) {
        EXPECT_NE(out_.find(documented), std::string::npos) << documented;
    }
    EXPECT_EQ(out_.find(" DIR"), std::string::npos);  // placeholders in German
    EXPECT_EQ(Run({"-V"}), 0);
    EXPECT_TRUE(out_.starts_with("brevikon-rtf "));
}

}  // namespace
}  // namespace brevikon
