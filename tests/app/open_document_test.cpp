// OpenDocument: every refusal and message in order, the loaded state, and the failed-image
// state with how it ends.
#include <gtest/gtest.h>

#include "app/close_document.h"
#include "app/document_views.h"
#include "app/save_rtf.h"
#include "app_fixture.h"
#include "format/document_format.h"

namespace brevikon::test {
namespace {

using Calls = std::vector<std::string>;

// The description without its image line, for the states that differ only there.
std::string WithoutImage(std::string text) {
    const auto start = text.find("image: ");
    text.erase(start, text.find('\n', start) + 1 - start);
    return text;
}

class OpenDocumentTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        Load(u"C:\\Texte\\ALT.DOC", SmallDocument());
        before = Observed();
    }

    void ExpectOnlyMessage(std::u16string_view text, MessageIcon icon) {
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text, text);
        EXPECT_EQ(platform.messages[0].title, u"Brevikon Reader");
        EXPECT_EQ(platform.messages[0].icon, icon);
    }

    std::string before;
};

TEST_F(OpenDocumentTest, EmptyPathIsRefusedWithoutAnyCall) {
    OpenDocument(state, platform, u"");
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_EQ(Observed(), before);
}

TEST_F(OpenDocumentTest, PathNamingNothingOrAFolderIsRefusedSilently) {
    platform.folders.insert(u"C:\\Texte");
    OpenDocument(state, platform, u"C:\\Texte\\fehlt.doc");
    OpenDocument(state, platform, u"C:\\Texte");
    EXPECT_EQ(platform.calls,
              (Calls{"QueryFileSize(C:\\Texte\\fehlt.doc)", "QueryFileSize(C:\\Texte)"}));
    EXPECT_EQ(Observed(), before);
}

TEST_F(OpenDocumentTest, FileThatCannotBeOpenedIsReportedWithItsPath) {
    platform.AddFile(u"C:\\gesperrt.doc", "x").openFails = true;
    OpenDocument(state, platform, u"C:\\gesperrt.doc");
    ExpectOnlyMessage(u"Die Datei konnte nicht geoeffnet werden:\nC:\\gesperrt.doc",
                      MessageIcon::Error);
    EXPECT_EQ(Observed(), before);
}

TEST_F(OpenDocumentTest, EmptyFileIsANoticeAfterTheFileIsClosed) {
    platform.AddFile(u"leer.doc", "");
    OpenDocument(state, platform, u"leer.doc");
    EXPECT_EQ(
        platform.calls,
        (Calls{"QueryFileSize(leer.doc)", "OpenFileForReading(leer.doc)", "FileLength", "CloseFile",
               "ShowMessage(Die Datei ist leer. | Brevikon Reader | information)"}));
    EXPECT_EQ(Observed(), before);
}

TEST_F(OpenDocumentTest, OneByteOverThirtyTwoMebibytesIsRefused) {
    platform.AddFile(u"gross.doc", "").declaredLength = MaxDocumentSize + 1;
    OpenDocument(state, platform, u"gross.doc");
    ExpectOnlyMessage(u"Die Datei ist groesser als 32 MB und wird nicht geladen.",
                      MessageIcon::Error);
    EXPECT_EQ(platform.calls.at(3), "CloseFile");
    EXPECT_EQ(Observed(), before);
}

TEST_F(OpenDocumentTest, ExactlyThirtyTwoMebibytesIsLoaded) {
    platform.AddFile(u"voll.doc", std::string(static_cast<std::size_t>(MaxDocumentSize), 'x'));
    OpenDocument(state, platform, u"voll.doc");
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(state.fileLength, MaxDocumentSize);
    EXPECT_EQ(state.currentPath, u"voll.doc");
}

TEST_F(OpenDocumentTest, LoadReadsClosesThenShowsTheDocumentView) {
    platform.AddFile(u"D:\\neu.doc", SmallDocument());
    OpenDocument(state, platform, u"D:\\neu.doc");
    EXPECT_EQ(platform.calls,
              (Calls{"QueryFileSize(D:\\neu.doc)", "OpenFileForReading(D:\\neu.doc)", "FileLength",
                     "ReadFileInto(5)", "CloseFile", "SetViewerReadOnly(off)", "SetViewerRtf",
                     "SetViewerReadOnly(on)", "ScrollViewerToTop", "SetViewerZoom(0/0)",
                     "SetStatusText(0, neu.doc   (5 Bytes)   Text ab 0)",
                     "SetTitle(neu.doc - Brevikon Reader)", "SetStatusText(1, Zoom 100 %)",
                     "SetMenuCheck(8, on)", "SetMenuCheck(9, off)"}));
    EXPECT_EQ(state.fileLength, 5);
    EXPECT_EQ(state.statusSummary, SmallDocumentSummary);
    EXPECT_EQ(state.analysisFlag, 0);
    // The five bytes "Hi" CR LF end-of-text as a whole RTF document in monospace.
    EXPECT_EQ(platform.viewerRtf,
              "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0\r\n"
              "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}"
              "{\\f1\\froman\\fprq2\\fcharset0 Times New Roman;}}\r\n"
              "{\\colortbl;\\red0\\green0\\blue0;}\r\n"
              "\\viewkind4\\fet0\\sectd\r\n"
              "\\pard\\ql\\f0\\fs20 Hi\\par\r\n}");
}

TEST_F(OpenDocumentTest, PathIsKeptExactlyAsReceived) {
    platform.AddFile(u"..\\Texte\\.\\brief", SmallDocument());
    OpenDocument(state, platform, u"..\\Texte\\.\\brief");
    EXPECT_EQ(state.currentPath, u"..\\Texte\\.\\brief");
}

TEST_F(OpenDocumentTest, FailedImageAllocationLeavesNoDocumentButEverythingElse) {
    platform.AddFile(u"neu.doc", HeaderDocument());
    heap.refuseAllocation = true;
    OpenDocument(state, platform, u"neu.doc");
    ExpectOnlyMessage(u"Zu wenig Speicher.", MessageIcon::Error);
    EXPECT_EQ(platform.calls.at(3), "CloseFile");
    EXPECT_FALSE(state.documentImage.held());
    EXPECT_EQ(WithoutImage(Observed()), WithoutImage(before));
    heap.refuseAllocation = false;

    // No document: both commands that need one say so.
    platform.ForgetCalls();
    ShowAnalysisView(state, platform);
    SaveAsRtf(state, platform);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[0].text, u"Es ist keine Datei geoeffnet.");
    EXPECT_EQ(platform.messages[1].text, u"Es ist keine Datei geoeffnet.");
    EXPECT_EQ(platform.messages[1].icon, MessageIcon::Information);
    EXPECT_TRUE(platform.saveDialogs.empty());
}

TEST_F(OpenDocumentTest, AfterAFailedAllocationAFontCommandClearsButKeepsTheOldTexts) {
    platform.AddFile(u"neu.doc", HeaderDocument());
    heap.refuseAllocation = true;
    OpenDocument(state, platform, u"neu.doc");
    heap.refuseAllocation = false;
    platform.ForgetCalls();

    SelectFontMode(state, platform, FontModeProportional);
    EXPECT_EQ(platform.calls,
              (Calls{"SetViewerReadOnly(off)", "SetViewerText()", "SetViewerReadOnly(on)",
                     "SetStatusText(0, ALT.DOC   (5 Bytes)   Text ab 0)",
                     "SetTitle(ALT.DOC - Brevikon Reader)", "SetStatusText(1, Zoom 100 %)"}));
    EXPECT_EQ(platform.viewerContent, ViewerContent::Empty);
    EXPECT_EQ(state.fontMode, FontModeProportional);
    EXPECT_TRUE(platform.checks.at(8));  // marks stay until a document is shown

    CloseDocument(state, platform);
    EXPECT_EQ(platform.title, u"Brevikon Reader");
    EXPECT_EQ(platform.statusFields[0], u"Keine Datei geoeffnet");
    EXPECT_EQ(state.currentPath, u"");
    EXPECT_EQ(state.fileLength, 0);
    EXPECT_EQ(state.statusSummary, u"");
}

TEST_F(OpenDocumentTest, ASuccessfulOpenEndsTheFailedAllocationState) {
    platform.AddFile(u"neu.doc", HeaderDocument());
    heap.refuseAllocation = true;
    OpenDocument(state, platform, u"neu.doc");
    heap.refuseAllocation = false;
    OpenDocument(state, platform, u"neu.doc");
    EXPECT_TRUE(state.documentImage.held());
    EXPECT_EQ(platform.title, u"neu.doc - Brevikon Reader");
    EXPECT_EQ(platform.statusFields[0],
              u"neu.doc   (1234 Bytes)   " + std::u16string(HeaderDocumentSummary));
}

TEST_F(OpenDocumentTest, ShortReadIsReportedAndLeavesTheFailedAllocationState) {
    platform.AddFile(u"E:\\wackel.doc", HeaderDocument()).readShortBy = 100;
    OpenDocument(state, platform, u"E:\\wackel.doc");
    EXPECT_EQ(platform.calls,
              (Calls{"QueryFileSize(E:\\wackel.doc)", "OpenFileForReading(E:\\wackel.doc)",
                     "FileLength", "ReadFileInto(1234)", "CloseFile",
                     "ShowMessage(Die Datei konnte nicht geoeffnet werden:\nE:\\wackel.doc | "
                     "Brevikon Reader | error)"}));
    EXPECT_FALSE(state.documentImage.held());
    EXPECT_EQ(WithoutImage(Observed()), WithoutImage(before));
}

TEST_F(OpenDocumentTest, OpeningInTheAnalysisViewReturnsToTheDocumentView) {
    ShowAnalysisView(state, platform);
    ASSERT_EQ(state.analysisFlag, 1);
    ASSERT_FALSE(state.structureReport.empty());
    platform.AddFile(u"neu.doc", HeaderDocument());
    OpenDocument(state, platform, u"neu.doc");
    EXPECT_EQ(state.analysisFlag, 0);
    EXPECT_TRUE(state.structureReport.empty());
    EXPECT_EQ(platform.title, u"neu.doc - Brevikon Reader");
}

TEST_F(OpenDocumentTest, OpenDialogStartsAtTheCurrentPathAndCancelDoesNothing) {
    OpenWithDialog(state, platform);
    ASSERT_EQ(platform.openDialogs.size(), 1u);
    EXPECT_EQ(platform.openDialogs[0].title, u"Brevikon-Datei oeffnen");
    EXPECT_EQ(platform.openDialogs[0].defaultPath, u"C:\\Texte\\ALT.DOC");
    EXPECT_EQ(platform.openDialogs[0].filter,
              u"Alle Dateien (*.*)|*.*|Textdateien (*.txt;*.doc)|*.txt;*.doc");
    EXPECT_EQ(platform.calls.size(), 1u);
    EXPECT_EQ(Observed(), before);

    platform.AddFile(u"C:\\Texte\\NEU.DOC", SmallDocument());
    platform.openAnswers.push_back(u"C:\\Texte\\NEU.DOC");
    OpenWithDialog(state, platform);
    EXPECT_EQ(state.currentPath, u"C:\\Texte\\NEU.DOC");
}

TEST_F(AppTest, OpenDialogWithNoFileOpenHasAnEmptyDefault) {
    OpenWithDialog(state, platform);
    ASSERT_EQ(platform.openDialogs.size(), 1u);
    EXPECT_EQ(platform.openDialogs[0].defaultPath, u"");
}

}  // namespace
}  // namespace brevikon::test
