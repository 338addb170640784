// Save as RTF: names, the written bytes, the confirmation, and every refusal.
#include <gtest/gtest.h>

#include "app/document_views.h"
#include "app/event_loop.h"
#include "app/save_rtf.h"
#include "app_fixture.h"

namespace brevikon::test {
namespace {

using Calls = std::vector<std::string>;

TEST(SaveNameTest, DefaultNameIsDirectoryAndNameWithRtfInPlaceOfTheExtension) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"C:\\Texte\\BRIEF.TXT", u"C:\\Texte\\BRIEF.rtf"},
        {u"C:\\Texte\\.profil", u"C:\\Texte\\.profil.rtf"},
        {u"C:\\Texte\\name.", u"C:\\Texte\\name..rtf"},
        {u"brief.doc", u"brief.rtf"},
        {u"C:\\Texte\\BRIEF.RTF", u"C:\\Texte\\BRIEF.rtf"},
        {u"C:/a.b/c", u"C:/a.b/c.rtf"},
    };
    for (const auto& [path, name] : cases) {
        EXPECT_EQ(DefaultSaveName(path), name) << Narrow(path);
    }
}

TEST(SaveNameTest, ChosenNameGetsRtfUnlessItsExtensionIsRtfInAnyCase) {
    FakePlatform platform;
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"x.RTF", u"x.RTF"},       {u"x.Rtf", u"x.Rtf"},
        {u"x.rtf", u"x.rtf"},       {u"x", u"x.rtf"},
        {u"x.txt", u"x.txt.rtf"},   {u"C:\\out.d\\x", u"C:\\out.d\\x.rtf"},
        {u"x.rtfx", u"x.rtfx.rtf"}, {u"C:\\out\\.rtf", u"C:\\out\\.rtf.rtf"},
    };
    for (const auto& [chosen, final] : cases) {
        EXPECT_EQ(FinalSaveName(platform, chosen), final) << Narrow(chosen);
    }
}

class SaveAsRtfTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        Load(u"C:\\Texte\\BRIEF.TXT", SmallDocument());
    }
};

TEST_F(SaveAsRtfTest, WritesTheUsedBytesAndConfirmsInFieldZero) {
    platform.saveAnswers.push_back(u"D:\\Ablage\\brief");
    SaveAsRtf(state, platform);
    ASSERT_EQ(platform.saveDialogs.size(), 1u);
    EXPECT_EQ(platform.saveDialogs[0].title, u"Als RTF speichern");
    EXPECT_EQ(platform.saveDialogs[0].defaultPath, u"C:\\Texte\\BRIEF.rtf");
    EXPECT_EQ(platform.saveDialogs[0].filter,
              u"Rich Text Format (*.rtf)|*.rtf|Alle Dateien (*.*)|*.*");
    EXPECT_EQ(platform.calls, (Calls{"ShowSaveDialog(C:\\Texte\\BRIEF.rtf)", "LowerCase()",
                                     "IsSameFile(D:\\Ablage\\brief.rtf, C:\\Texte\\BRIEF.TXT)",
                                     "WriteWholeFile(D:\\Ablage\\brief.rtf, " +
                                         std::to_string(state.rtfBuffer.used) + ")",
                                     "SetStatusText(0, Gespeichert: brief.rtf)"}));
    const std::string& saved = platform.writtenFiles.at(u"D:\\Ablage\\brief.rtf");
    EXPECT_EQ(saved, state.rtfBuffer.content());
    EXPECT_EQ(saved.back(), '}');
    EXPECT_EQ(platform.title, u"BRIEF.TXT - Brevikon Reader");
    EXPECT_EQ(state.currentPath, u"C:\\Texte\\BRIEF.TXT");
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(SaveAsRtfTest, TheNextRefreshReplacesTheConfirmation) {
    platform.saveAnswers.push_back(u"x.rtf");
    SaveAsRtf(state, platform);
    ASSERT_EQ(platform.statusFields[0], u"Gespeichert: x.rtf");
    ZoomIn(state, platform);
    EXPECT_EQ(platform.statusFields[0], u"BRIEF.TXT   (5 Bytes)   Text ab 0");
}

TEST_F(SaveAsRtfTest, SavingTwiceReplacesWithoutAQuestion) {
    platform.saveAnswers = {u"x.rtf", u"x.rtf"};
    SaveAsRtf(state, platform);
    SaveAsRtf(state, platform);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.writtenFiles.size(), 1u);
}

TEST_F(SaveAsRtfTest, CancelledDialogChangesNothing) {
    const std::string before = Observed();
    SaveAsRtf(state, platform);
    EXPECT_EQ(platform.calls, (Calls{"ShowSaveDialog(C:\\Texte\\BRIEF.rtf)"}));
    EXPECT_EQ(Observed(), before);
}

TEST_F(SaveAsRtfTest, FailedCreateOrShortWriteIsReportedNotConfirmed) {
    for (const WriteFailure failure : {WriteFailure::CreateFails, WriteFailure::ShortWrite}) {
        platform.ForgetCalls();
        platform.writeFailure = failure;
        platform.saveAnswers.push_back(u"D:\\voll\\brief.txt");
        const std::string before = Observed();
        SaveAsRtf(state, platform);
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text,
                  u"Die Datei konnte nicht geschrieben werden:\nD:\\voll\\brief.txt.rtf");
        EXPECT_EQ(platform.messages[0].icon, MessageIcon::Error);
        EXPECT_EQ(platform.messages[0].title, u"Brevikon Reader");
        EXPECT_EQ(Observed(), before);
    }
}

TEST_F(AppTest, SaveRefusesToReplaceTheOpenDocument) {
    Load(u"C:\\Texte\\BRIEF.RTF", SmallDocument());
    const std::string original = platform.files.at(u"C:\\Texte\\BRIEF.RTF").bytes;
    const std::string before = Observed();
    // The proposed name differs only in case: on Windows the same file.
    platform.saveAnswers.push_back(u"C:\\Texte\\BRIEF.rtf");
    SaveAsRtf(state, platform);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
              u"Die geoeffnete Datei kann nicht ueberschrieben werden:\nC:\\Texte\\BRIEF.rtf");
    EXPECT_EQ(platform.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(platform.writtenFiles.empty());
    EXPECT_EQ(Observed(), before);

    // Also through a link.
    platform.ForgetCalls();
    platform.sameFile = [](std::u16string_view a, std::u16string_view) {
        return a == u"D:\\Verweis.rtf";
    };
    platform.saveAnswers.push_back(u"D:\\Verweis.rtf");
    SaveAsRtf(state, platform);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.writtenFiles.empty());
    EXPECT_EQ(platform.files.at(u"C:\\Texte\\BRIEF.RTF").bytes, original);
}

TEST_F(AppTest, SaveWithoutDocumentIsANotice) {
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

TEST_F(SaveAsRtfTest, RefusedRtfIsStillSaved) {
    platform.rtfAccepted = false;
    SelectFontMode(state, platform, FontModeMonospace);
    ASSERT_EQ(platform.viewerText, u"Der Inhalt konnte nicht dargestellt werden.");
    platform.saveAnswers.push_back(u"x.rtf");
    SaveAsRtf(state, platform);
    EXPECT_EQ(platform.writtenFiles.at(u"x.rtf"), state.rtfBuffer.content());
    EXPECT_FALSE(state.rtfBuffer.content().empty());
}

}  // namespace
}  // namespace brevikon::test
