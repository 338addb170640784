// The document and analysis views, the font commands, Close, and what happens when the heap
// cuts an RTF short.
#include <gtest/gtest.h>

#include "app/close_document.h"
#include "app/document_views.h"
#include "app/save_rtf.h"
#include "app_fixture.h"

namespace brevikon::test {
namespace {

using Calls = std::vector<std::string>;

class DocumentViewsTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        Load(u"C:\\Texte\\BRIEF.TXT", HeaderDocument());
    }
};

TEST_F(DocumentViewsTest, AnalysisBuildsRendersAndShowsTheReport) {
    const std::u16string summary = state.statusSummary;
    ShowAnalysisView(state, platform);
    EXPECT_EQ(
        platform.calls,
        (Calls{"SetViewerReadOnly(off)", "SetViewerRtf", "SetViewerReadOnly(on)",
               "ScrollViewerToTop", "SetViewerZoom(0/0)",
               "SetStatusText(0, BRIEF.TXT   -   Strukturanalyse)",
               "SetTitle(BRIEF.TXT [Analyse] - Brevikon Reader)", "SetStatusText(1, Zoom 100 %)"}));
    EXPECT_EQ(state.analysisFlag, 1);
    EXPECT_EQ(state.structureReport.rfind(u"STRUKTURANALYSE\n", 0), 0u);
    EXPECT_NE(state.structureReport.find(u"Datei           : BRIEF.TXT\n"), std::u16string::npos);
    EXPECT_EQ(platform.viewerRtf.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(platform.viewerRtf.find("Consolas"), std::string::npos);
    EXPECT_EQ(state.statusSummary, summary);
}

TEST_F(DocumentViewsTest, FontCommandsReconvertAndMoveTheCheckMark) {
    SelectFontMode(state, platform, FontModeProportional);
    EXPECT_NE(platform.viewerRtf.find("\\pard\\ql\\f1\\fs24 "), std::string::npos);
    EXPECT_EQ(platform.viewerRtf.find("\\f0\\fs20"), std::string::npos);
    EXPECT_FALSE(platform.checks.at(8));
    EXPECT_TRUE(platform.checks.at(9));
    EXPECT_EQ(platform.calls.back(), "SetMenuCheck(9, on)");

    SelectFontMode(state, platform, FontModeMonospace);
    EXPECT_NE(platform.viewerRtf.find("\\pard\\ql\\f0\\fs20 "), std::string::npos);
    EXPECT_TRUE(platform.checks.at(8));
}

TEST_F(DocumentViewsTest, FontCommandInTheAnalysisViewReturnsToTheDocument) {
    ShowAnalysisView(state, platform);
    SelectFontMode(state, platform, FontModeMonospace);
    EXPECT_EQ(state.analysisFlag, 0);
    EXPECT_EQ(platform.title, u"BRIEF.TXT - Brevikon Reader");
    EXPECT_NE(platform.viewerRtf.find("Courier New"), std::string::npos);
}

TEST_F(DocumentViewsTest, CloseReturnsToNoDocumentAndKeepsFontAndZoom) {
    ShowAnalysisView(state, platform);
    state.zoomPercent = 120;
    state.fontMode = FontModeProportional;
    platform.ForgetCalls();
    CloseDocument(state, platform);
    EXPECT_EQ(platform.calls,
              (Calls{"SetViewerReadOnly(off)", "SetViewerText()", "SetViewerReadOnly(on)",
                     "SetStatusText(0, Keine Datei geoeffnet)", "SetTitle(Brevikon Reader)",
                     "SetStatusText(1, Zoom 120 %)"}));
    EXPECT_FALSE(state.documentImage.held());
    EXPECT_EQ(state.fileLength, 0);
    EXPECT_EQ(state.currentPath, u"");
    EXPECT_EQ(state.statusSummary, u"");
    EXPECT_EQ(state.structureReport, u"");
    EXPECT_EQ(state.analysisFlag, 0);
    EXPECT_EQ(state.rtfBuffer.used, 0);
    EXPECT_EQ(state.zoomPercent, 120);
    EXPECT_EQ(state.fontMode, FontModeProportional);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(AppTest, WithoutDocumentCloseAndFontCommandsOnlyClearAndAnalysisRefuses) {
    CloseDocument(state, platform);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.viewerContent, ViewerContent::Empty);

    platform.ForgetCalls();
    SelectFontMode(state, platform, FontModeProportional);
    EXPECT_EQ(platform.calls,
              (Calls{"SetViewerReadOnly(off)", "SetViewerText()", "SetViewerReadOnly(on)",
                     "SetStatusText(0, Keine Datei geoeffnet)", "SetTitle(Brevikon Reader)",
                     "SetStatusText(1, Zoom 100 %)"}));
    EXPECT_TRUE(platform.checks.at(8));  // moved only when a document is shown

    const std::string before = Observed();
    ShowAnalysisView(state, platform);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, u"Es ist keine Datei geoeffnet.");
    EXPECT_EQ(platform.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(Observed(), before);

    // The font chosen without a document is used by the next one.
    platform.AddFile(u"a.doc", SmallDocument());
    OpenDocument(state, platform, u"a.doc");
    EXPECT_NE(platform.viewerRtf.find("\\f1\\fs24 Hi"), std::string::npos);
    EXPECT_TRUE(platform.checks.at(9));
}

TEST_F(AppTest, TruncatedDocumentRtfIsShownWithAMessageAndNeverSaved) {
    // About 100000 bytes of text need more than the first 64 KiB of RTF.
    platform.AddFile(u"lang.doc", HeaderDocument(100000));
    heap.refuseGrowth = true;
    OpenDocument(state, platform, u"lang.doc");
    ASSERT_FALSE(state.rtfBuffer.complete());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, u"Zu wenig Speicher.");
    EXPECT_EQ(platform.messages[0].icon, MessageIcon::Error);
    // The message comes after title and status are up to date.
    EXPECT_EQ(platform.calls.back(), "ShowMessage(Zu wenig Speicher. | Brevikon Reader | error)");
    EXPECT_EQ(state.currentPath, u"lang.doc");

    platform.ForgetCalls();
    platform.saveAnswers.push_back(u"lang.rtf");
    SaveAsRtf(state, platform);
    EXPECT_EQ(platform.calls, (Calls{"ShowMessage(Zu wenig Speicher. | Brevikon Reader | error)"}));
    EXPECT_TRUE(platform.writtenFiles.empty());

    // With room again, a font command converts it whole, and it can be saved.
    heap.refuseGrowth = false;
    SelectFontMode(state, platform, FontModeMonospace);
    EXPECT_TRUE(state.rtfBuffer.complete());
    platform.ForgetCalls();
    SaveAsRtf(state, platform);
    EXPECT_EQ(platform.writtenFiles.at(u"lang.rtf").size(),
              static_cast<std::size_t>(state.rtfBuffer.used));
}

TEST_F(DocumentViewsTest, AnalysisWithoutBufferStorageSaysSo) {
    heap.refuseAllocation = true;
    ShowAnalysisView(state, platform);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, u"Zu wenig Speicher.");
    EXPECT_EQ(state.analysisFlag, 1);
}

}  // namespace
}  // namespace brevikon::test
