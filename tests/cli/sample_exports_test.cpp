// The bundled samples in their text, HTML and report forms against golden files beside them:
// NAME.utf8.txt, NAME.html and NAME.report.txt. The golden files were checked by hand against the
// rules (and character for character, attributes included, against the samples' hand-checked RTF).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "cli_fixture.h"

namespace brevikon {
namespace {

namespace fs = std::filesystem;
using test::Native;
using test::ReadFile;

const fs::path SamplesFolder = fs::path(BREVIKON_SOURCE_DIR) / "samples";

bool EndsWith(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// Every document in samples/: what is neither a golden file nor the README.
std::vector<fs::path> SampleDocuments() {
    std::vector<fs::path> documents;
    for (const auto& entry : fs::directory_iterator(SamplesFolder)) {
        const std::string name = entry.path().filename().string();
        if (name[0] == '.' || EndsWith(name, ".rtf") || EndsWith(name, ".utf8.txt") ||
            EndsWith(name, ".html") || EndsWith(name, ".report.txt") || EndsWith(name, ".md")) {
            continue;
        }
        documents.push_back(entry.path());
    }
    std::sort(documents.begin(), documents.end());
    return documents;
}

class SampleExportsTest : public test::CliFixture {};

TEST_F(SampleExportsTest, EverySampleMatchesItsTextHtmlAndReport) {
    const std::vector<fs::path> documents = SampleDocuments();
    ASSERT_GE(documents.size(), 5u);
    for (const fs::path& document : documents) {
        const fs::path stem = SamplesFolder / document.stem();
        for (const auto& [format, ending] :
             {std::pair{"text", ".utf8.txt"}, std::pair{"html", ".html"},
              std::pair{"report", ".report.txt"}}) {
            const fs::path golden = fs::path(stem.string() + ending);
            ASSERT_TRUE(fs::exists(golden)) << golden;
            ASSERT_EQ(
                Run({Native("--to"), Native(format), Native("-o"), Native("-"), Native(document)}),
                0)
                << err_;
            EXPECT_TRUE(out_ == ReadFile(golden)) << document << " differs from " << golden;
        }
    }
}

// The samples folder is an archive in miniature: documents with the outputs of earlier runs
// beside them. A recursive text run takes exactly the documents, in parallel.
TEST_F(SampleExportsTest, RecursiveRunOverTheSamplesFolder) {
    ASSERT_EQ(Run({Native("-r"), Native("--to=text"), Native("-j"), Native("3"), Native("--match"),
                   Native("*.doc"), Native("--match"), Native("*.txt"), Native("-d"),
                   Native(folder_), Native(SamplesFolder)}),
              0)
        << err_;
    std::vector<std::string> expected;
    for (const fs::path& document : SampleDocuments()) {
        const std::string name = document.stem().string() + ".utf8.txt";
        expected.push_back(name);
        EXPECT_EQ(ReadFile(folder_ / name), ReadFile(SamplesFolder / name)) << name;
    }
    EXPECT_EQ(FilesBelow(folder_), expected);
    const std::string summary =
        "Fertig: " + std::to_string(expected.size()) + " Dateien umgewandelt, 0 fehlgeschlagen, ";
    EXPECT_EQ(err_.rfind(summary, 0), 0u) << err_;
}

}  // namespace
}  // namespace brevikon
