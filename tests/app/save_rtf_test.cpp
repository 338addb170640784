// Save as RTF: names, the written bytes, the confirmation, and every refusal.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "app/document_views.h"
#include "app/save_rtf.h"
#include "app_fixture.h"

namespace brevikon::test {
namespace {

using Case = std::pair<std::u16string, std::u16string>;

TEST(SaveNameTest, ChosenNameGetsRtfUnlessItsExtensionIsRtfInAnyCase) {
    FakePlatform platform;
    const Case cases[] = {{u"x.RTF", u"x.RTF"},       {u"x.Rtf", u"x.Rtf"},
                          {u"x.rtf", u"x.rtf"},       {u"x", u"x.rtf"},
                          {u"x.txt", u"x.txt.rtf"},   {u"C:\\out.d\\x", u"C:\\out.d\\x.rtf"},
                          {u"x.rtfx", u"x.rtfx.rtf"}, {u"C:\\out\\.rtf", u"C:\\out\\.rtf.rtf"}};
    for (const auto& [chosen, final] : cases)
        EXPECT_EQ(FinalSaveName(platform, chosen), final) << Narrow(chosen);
}

class SaveAsRtfTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        Load(u"C:\\Texte\\BRIEF.RTF", SmallDocument());
    }
};

TEST_F(SaveAsRtfTest, WritesTheUsedBytesAndConfirmsInFieldZeroReplacingUnasked) {
    platform.saveAnswers = {u"D:\\Ablage\\brief", u"D:\\Ablage\\brief"};
    SaveAsRtf(state, platform);
    EXPECT_EQ(platform.calls.front(),
              "ShowSaveDialog(Als RTF speichern | C:\\Texte\\BRIEF.rtf | "
              "Rich Text Format (*.rtf)|*.rtf|Alle Dateien (*.*)|*.*)");
    EXPECT_EQ(platform.writtenFiles.at(u"D:\\Ablage\\brief.rtf"), state.rtfBuffer.content());
    ExpectTexts(u"BRIEF.RTF - Brevikon Reader", u"Gespeichert: brief.rtf");
    SaveAsRtf(state, platform);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.writtenFiles.size(), 1u);
}

// Cancelled, or refused with the reason: nothing is written and nothing else changes. The open
// document is never replaced, be the name another spelling of it or a link to it.
TEST_F(SaveAsRtfTest, RefusedOrCancelledSaveChangesNothing) {
    platform.sameFile = [](std::u16string_view a, std::u16string_view b) {
        return AsciiLower(a) == AsciiLower(b) || a == u"D:\\Verweis.rtf";
    };
    const std::u16string notReplaced = u"Die geoeffnete Datei kann nicht ueberschrieben werden:\n";
    const struct {
        std::u16string answer;  // none: cancelled
        bool writeFails;
        std::u16string message;
    } cases[] = {
        {u"", false, u""},
        {u"D:\\voll\\brief.txt", true,
         u"Die Datei konnte nicht geschrieben werden:\nD:\\voll\\brief.txt.rtf"},
        {u"C:\\Texte\\BRIEF.rtf", false, notReplaced + u"C:\\Texte\\BRIEF.rtf"},
        {u"D:\\Verweis.rtf", false, notReplaced + u"D:\\Verweis.rtf"},
    };
    const std::string before = Observed();
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.answer));
        platform.ForgetCalls();
        platform.writeFails = c.writeFails;
        platform.saveAnswers = {c.answer};
        SaveAsRtf(state, platform);
        if (c.message.empty()) {
            EXPECT_TRUE(platform.messages.empty());
        } else {
            ExpectOnlyMessage(c.message, MessageIcon::Error);
        }
        EXPECT_TRUE(platform.writtenFiles.empty());
        EXPECT_EQ(Observed(), before);
    }

    // A document loaded but no RTF in the buffer (the view could not be made): nothing to
    // save, and no dialog that would pretend otherwise.
    platform.ForgetCalls();
    state.rtfBuffer.used = 0;
    SaveAsRtf(state, platform);
    EXPECT_EQ(platform.calls, (Calls{"ShowMessage(Es ist keine Datei geoeffnet. | "
                                     "Brevikon Reader | information)"}));
}

TEST_F(SaveAsRtfTest, AnalysisViewSavesTheRenderedReport) {
    ShowAnalysisView(state, platform);
    platform.saveAnswers.push_back(u"bericht");
    SaveAsRtf(state, platform);
    const std::string& saved = platform.writtenFiles.at(u"bericht.rtf");
    EXPECT_NE(saved.find("STRUKTURANALYSE"), std::string::npos);
    EXPECT_EQ(saved, platform.viewerRtf);
}

// The control refusing the RTF shows a sentence instead, neither scrolled nor zoomed, and no
// message; the RTF stays in the buffer and can still be saved.
TEST_F(SaveAsRtfTest, RefusedRtfShowsTheSentenceAndIsStillSaved) {
    platform.rtfAccepted = false;
    SelectFontMode(state, platform, FontMode::Monospace);
    EXPECT_EQ(platform.viewerText, u"Der Inhalt konnte nicht dargestellt werden.");
    EXPECT_EQ(platform.Count("ScrollViewerToTop") + platform.Count("SetViewerZoom"), 0);
    EXPECT_EQ(platform.statusFields[0], u"BRIEF.RTF   (5 Bytes)   Text ab 0");
    EXPECT_TRUE(platform.messages.empty());
    platform.saveAnswers.push_back(u"x.rtf");
    SaveAsRtf(state, platform);
    EXPECT_FALSE(state.rtfBuffer.content().empty());
    EXPECT_EQ(platform.writtenFiles.at(u"x.rtf"), state.rtfBuffer.content());
}

// The viewer on real files: it reads and writes through the same file store as the
// converter, so a saved document is the converter's output byte for byte, and a save that
// cannot be made leaves what was there.
TEST(RealFilesTest, ViewerSavesTheConvertersBytesAndAFailedSaveChangesNothing) {
    namespace fs = std::filesystem;
    const fs::path samples = fs::path(BREVIKON_SOURCE_DIR) / "samples";
    // Removed however the test ends.
    const struct Scratch {
        fs::path path;
        ~Scratch() {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    } scratch{fs::temp_directory_path() /
              ("brevikon-viewer-" + std::to_string(std::random_device{}()))};
    const fs::path& folder = scratch.path;
    fs::create_directories(folder);
    const auto contents = [](const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    fs::copy_file(samples / "BRIEF.TXT", folder / "BRIEF.TXT");
    fs::create_directory(folder / "ordner.rtf");

    FakePlatform platform;
    AppState state{ProcessHeap(), SystemFiles()};
    BuildCharTable(state.charTable);
    platform.windowOpen = true;
    ASSERT_NE(CreateViewer(state, platform), NoControl);
    OpenDocument(state, platform, Utf8ToUtf16((folder / "BRIEF.TXT").string()));
    ASSERT_TRUE(state.documentImage.held());

    platform.saveAnswers = {Utf8ToUtf16((folder / "brief").string()),
                            Utf8ToUtf16((folder / "ordner").string()),
                            Utf8ToUtf16((folder / "fehlt" / "x").string())};
    SaveAsRtf(state, platform);
    EXPECT_EQ(contents(folder / "brief.rtf"), contents(samples / "BRIEF.rtf"));
    EXPECT_TRUE(platform.messages.empty());
    SaveAsRtf(state, platform);
    SaveAsRtf(state, platform);
    EXPECT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(fs::is_directory(folder / "ordner.rtf"));
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"BRIEF.TXT", "brief.rtf", "ordner.rtf"}));
}

}  // namespace
}  // namespace brevikon::test
