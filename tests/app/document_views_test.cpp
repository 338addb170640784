// The viewer control and what it is given; the document and analysis views with their titles
// and status fields, the font commands, Close, and what happens when the heap cuts an RTF short.
#include <gtest/gtest.h>

#include "app/close_document.h"
#include "app/document_views.h"
#include "app/event_loop.h"
#include "app/save_rtf.h"
#include "app_fixture.h"
#include "rtf/rtf_buffer.h"

namespace brevikon::test {
namespace {

class DocumentViewsTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        Load(u"C:\\Texte\\BRIEF.TXT", HeaderDocument());
    }
};

TEST_F(DocumentViewsTest, AnalysisShowsTheReportAndAFontCommandReturnsToTheDocument) {
    const std::u16string summary = state.statusSummary;
    ShowAnalysisView(state, platform);
    ExpectTexts(u"BRIEF.TXT [Analyse] - Brevikon Reader", u"BRIEF.TXT   -   Strukturanalyse");
    EXPECT_TRUE(state.analysisFlag);
    EXPECT_TRUE(state.structureReport.starts_with(u"STRUKTURANALYSE\n"));
    EXPECT_NE(state.structureReport.find(u"Datei           : BRIEF.TXT\n"), std::u16string::npos);
    EXPECT_NE(platform.viewerRtf.find("STRUKTURANALYSE\\line"), std::string::npos);
    EXPECT_EQ(state.statusSummary, summary);

    SelectFontMode(state, platform, FontMode::Proportional);
    EXPECT_FALSE(state.analysisFlag);
    EXPECT_EQ(platform.title, u"BRIEF.TXT - Brevikon Reader");
    EXPECT_NE(platform.viewerRtf.find("\\pard\\ql\\f1\\fs24 "), std::string::npos);
    EXPECT_EQ(platform.viewerRtf.find("\\f0\\fs20"), std::string::npos);
    EXPECT_FALSE(platform.checks.at(8));
    EXPECT_TRUE(platform.checks.at(9));

    SelectFontMode(state, platform, FontMode::Monospace);
    EXPECT_NE(platform.viewerRtf.find("\\pard\\ql\\f0\\fs20 "), std::string::npos);
    EXPECT_TRUE(platform.checks.at(8));
    EXPECT_FALSE(platform.checks.at(9));
}

TEST_F(DocumentViewsTest, CloseReturnsToNoDocumentAndKeepsFontAndZoom) {
    ShowAnalysisView(state, platform);
    state.zoomPercent = 120;
    state.fontMode = FontMode::Proportional;
    CloseDocument(state, platform);
    ExpectTexts(u"Brevikon Reader", u"Keine Datei geoeffnet", u"Zoom 120 %");
    EXPECT_EQ(platform.viewerRtf, "");
    EXPECT_EQ(platform.viewerText, u"");
    EXPECT_FALSE(state.documentImage.held());
    EXPECT_EQ(state.fileLength, 0);
    EXPECT_EQ(state.currentPath, u"");
    EXPECT_EQ(state.statusSummary, u"");
    EXPECT_EQ(state.structureReport, u"");
    EXPECT_FALSE(state.analysisFlag);
    EXPECT_EQ(state.rtfBuffer.used, 0);
    EXPECT_EQ(state.fontMode, FontMode::Proportional);
}

TEST_F(AppTest, TruncatedDocumentRtfIsShownWithAMessageAndNeverSaved) {
    // About 100000 bytes of text need more than the first 64 KiB of RTF.
    platform.AddFile(u"lang.doc", HeaderDocument(100000));
    heap.refuseGrowth = true;
    OpenDocument(state, platform, u"lang.doc");
    ASSERT_FALSE(state.rtfBuffer.complete());
    ExpectOnlyMessage(u"Zu wenig Speicher.", MessageIcon::Error);
    // The message comes after title and status are up to date.
    EXPECT_TRUE(platform.calls.back().starts_with("ShowMessage("));
    EXPECT_EQ(state.currentPath, u"lang.doc");

    platform.ForgetCalls();
    platform.saveAnswers.push_back(u"lang.rtf");
    SaveAsRtf(state, platform);
    EXPECT_EQ(platform.calls, (Calls{"ShowMessage(Zu wenig Speicher. | Brevikon Reader | error)"}));

    // With room again, a font command converts it whole, and it can be saved.
    heap.refuseGrowth = false;
    SelectFontMode(state, platform, FontMode::Monospace);
    EXPECT_TRUE(state.rtfBuffer.complete());
    SaveAsRtf(state, platform);
    EXPECT_EQ(platform.writtenFiles.at(u"lang.rtf").size(),
              static_cast<std::size_t>(state.rtfBuffer.used));
}

TEST_F(DocumentViewsTest, AnalysisWithoutBufferStorageSaysSoAndShowsNoOldContent) {
    heap.refuseAllocation = true;
    ShowAnalysisView(state, platform);
    ExpectOnlyMessage(u"Zu wenig Speicher.", MessageIcon::Error);
    EXPECT_TRUE(state.analysisFlag);
    EXPECT_EQ(platform.viewerRtf, "");  // the document shown before is gone
    EXPECT_EQ(platform.viewerText, u"");
}

TEST_F(AppTest, TitleAndStatusFieldsFromPathViewAndZoom) {
    const struct {
        std::u16string path;
        bool analysis;
        std::u16string field0, title;
    } cases[] = {
        {u"", 0, u"Keine Datei geoeffnet", u"Brevikon Reader"},
        {u"", 1, u"Keine Datei geoeffnet", u"Brevikon Reader"},
        {u"C:\\Texte\\BRIEF.TXT", 0, u"BRIEF.TXT   (1234 Bytes)   Text ab 0",
         u"BRIEF.TXT - Brevikon Reader"},
        {u"C:/Texte/BRIEF.TXT", 1, u"BRIEF.TXT   -   Strukturanalyse",
         u"BRIEF.TXT [Analyse] - Brevikon Reader"},
        {u"C:\\Texte\\", 0, u"   (1234 Bytes)   Text ab 0", u" - Brevikon Reader"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.path));
        // No image: whether a file is open is decided by the path alone.
        state.currentPath = c.path;
        state.fileLength = 1234;
        state.statusSummary = u"Text ab 0";
        state.analysisFlag = c.analysis;
        state.zoomPercent = 90;
        RefreshTitleAndStatus(state, platform);
        ExpectTexts(c.title, c.field0, u"Zoom 90 %");
    }
}

// The window may start smaller than the viewer's least size; resizes then follow it exactly.
TEST(CreateViewerTest, ControlIsAtLeastFiftyEachWayButOnlyAtCreation) {
    FakePlatform platform;
    AppState state{ProcessHeap(), platform};
    platform.windowOpen = true;
    for (const auto& [inner, created] : {std::pair{Extent{30, 20}, "CreateViewerControl(50x50)"},
                                         std::pair{Extent{60, 49}, "CreateViewerControl(60x50)"}}) {
        platform.ForgetCalls();
        platform.innerSize = inner;
        CreateViewer(state, platform);
        EXPECT_EQ(platform.calls.at(2), created);
    }
    platform.ForgetCalls();
    HandleEvent(state, platform, {AppEventKind::Size, 0, {}});
    EXPECT_EQ(platform.calls, (Calls{"InnerSize", "MoveViewer(0, 0, 60x49)"}));
}

TEST(ViewerWithoutControlTest, NothingReachesThePlatformButTheBufferGetsStorage) {
    FakePlatform platform;
    AppState state{ProcessHeap(), platform};
    ClearViewer(state, platform);
    EXPECT_NE(state.rtfBuffer.storage, nullptr);
    state.zoomPercent = 150;
    ApplyZoom(state, platform);
    AppendRtf(state.rtfBuffer, "x");
    ShowRtfBuffer(state, platform);
    HandleEvent(state, platform, {AppEventKind::Size, 0, {}});
    EXPECT_TRUE(platform.calls.empty());
}

using ViewerTest = AppTest;

// Read-only is lifted only while the RTF is replaced; then the view goes to the top and gets
// its zoom back. An empty buffer, or none, leaves what is shown.
TEST_F(ViewerTest, ShowSendsRtfWhileWritableThenScrollsAndReappliesTheZoom) {
    AppendRtf(state.rtfBuffer, "{\\rtf1 Hallo}");
    state.rtfBuffer.storage[state.rtfBuffer.used] = 'X';  // must become the terminator
    state.zoomPercent = 250;
    ShowRtfBuffer(state, platform);
    EXPECT_EQ(platform.calls,
              (Calls{"SetViewerReadOnly(off)", "SetViewerRtf", "SetViewerReadOnly(on)",
                     "ScrollViewerToTop", "SetViewerZoom(250/100)"}));
    EXPECT_EQ(platform.viewerRtf, "{\\rtf1 Hallo}");
    EXPECT_EQ(state.rtfBuffer.used, 13);

    platform.ForgetCalls();
    ResetRtfBuffer(state.rtfBuffer);
    ShowRtfBuffer(state, platform);
    ReleaseRtfBuffer(state.rtfBuffer);
    ShowRtfBuffer(state, platform);
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_EQ(platform.viewerRtf, "{\\rtf1 Hallo}");
}

}  // namespace
}  // namespace brevikon::test
