// OpenDocument: every refusal and message in order, the loaded state, and the failed-image state
// with how it ends.
#include <gtest/gtest.h>

#include <optional>

#include "app/close_document.h"
#include "app/document_views.h"
#include "app/save_rtf.h"
#include "app_fixture.h"
#include "format/document_format.h"

namespace brevikon::test {
namespace {

// The description without its image line, for the states that differ only there.
std::string WithoutImage(std::string text) {
    const auto start = text.find("image ");
    return text.erase(start, text.find('\n', start) + 1 - start);
}

class OpenDocumentTest : public AppTest {
  protected:
    void SetUp() override {
        AppTest::SetUp();
        Load(u"C:\\Texte\\ALT.DOC", SmallDocument());
        before = Observed();
    }
    std::string before;
};

// Each refusal leaves the shown document, its texts and its view as they were; the file is
// read whole and closed before any message. Past the length checks the old image is already
// released, so two are never held at once.
TEST_F(OpenDocumentTest, RefusalsInOrderWithTheirMessages) {
    const std::u16string path = u"D:\\x.doc";
    const std::string notOpened =
        "ShowMessage(Die Datei konnte nicht geoeffnet werden:\nD:\\x.doc | Brevikon Reader | "
        "error)";
    const struct {
        std::optional<FakeFile> file;  // none: the path names nothing, or a folder
        bool folder, refuseImage;
        std::string message;  // none: nothing is shown
    } cases[] = {
        {{}, false, false, ""},
        {{}, true, false, ""},
        {FakeFile{.bytes = "x", .openFails = true}, false, false, notOpened},
        {FakeFile{.bytes = ""}, false, false,
         "ShowMessage(Die Datei ist leer. | Brevikon Reader | information)"},
        {FakeFile{.declaredLength = MaxDocumentSize + 1}, false, false,
         "ShowMessage(Die Datei ist groesser als 32 MB und wird nicht geladen. | Brevikon "
         "Reader | error)"},
        {FakeFile{.bytes = HeaderDocument()}, false, true,
         "ShowMessage(Zu wenig Speicher. | Brevikon Reader | error)"},
        // A partial image would be shown as if it were the whole document.
        {FakeFile{.bytes = HeaderDocument(), .readShortBy = 1}, false, false, notOpened},
    };
    OpenDocument(state, platform, u"");
    EXPECT_TRUE(platform.calls.empty());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        platform.files.clear();
        platform.folders.clear();
        if (c.file) platform.files[path] = *c.file;
        if (c.folder) platform.folders.insert(path);
        heap.refuseAllocation = c.refuseImage;
        platform.ForgetCalls();
        OpenDocument(state, platform, path);
        heap.refuseAllocation = false;
        Calls expected{"Read(D:\\x.doc)"};
        if (!c.message.empty()) expected.push_back(c.message);
        EXPECT_EQ(platform.calls, expected);
        EXPECT_EQ(state.documentImage.held(), &c - cases < 5);
        EXPECT_EQ(WithoutImage(Observed()), WithoutImage(before));
    }
}

TEST_F(OpenDocumentTest, LoadShowsTheDocumentViewUnderThePathAsGiven) {
    ShowAnalysisView(state, platform);
    Load(u"D:\\.\\neu.doc", SmallDocument());
    ExpectTexts(u"neu.doc - Brevikon Reader", u"neu.doc   (5 Bytes)   Text ab 0");
    EXPECT_EQ(state.currentPath, u"D:\\.\\neu.doc");
    EXPECT_TRUE(state.structureReport.empty());
    // "Hi" CR LF end-of-text in monospace, read-only, without zoom.
    EXPECT_EQ(platform.viewerRtf, state.rtfBuffer.content());
    EXPECT_TRUE(platform.viewerRtf.ends_with("\\sectd\r\n\\pard\\ql\\f0\\fs20 Hi\\par\r\n}"));
    EXPECT_TRUE(platform.viewerReadOnly);
    EXPECT_EQ(platform.viewerZoom, "0/0");

    // The largest document loads whole.
    Load(u"voll.doc", std::string(static_cast<std::size_t>(MaxDocumentSize), 'x'));
    EXPECT_EQ(state.fileLength, MaxDocumentSize);
}

// Without an image but with the previous path and texts: the commands needing a document
// refuse, a font command only clears the view, Close or a good open ends the state.
TEST_F(OpenDocumentTest, FailedImageAllocationLeavesNoDocumentButEverythingElse) {
    platform.AddFile(u"neu.doc", HeaderDocument());
    heap.refuseAllocation = true;
    OpenDocument(state, platform, u"neu.doc");
    heap.refuseAllocation = false;

    platform.ForgetCalls();
    ShowAnalysisView(state, platform);
    SaveAsRtf(state, platform);
    EXPECT_EQ(platform.calls, Calls(2,
                                    "ShowMessage(Es ist keine Datei geoeffnet. | "
                                    "Brevikon Reader | information)"));

    SelectFontMode(state, platform, FontMode::Proportional);
    EXPECT_EQ(platform.viewerRtf, "");
    EXPECT_EQ(platform.viewerText, u"");
    ExpectTexts(u"ALT.DOC - Brevikon Reader", u"ALT.DOC   (5 Bytes)   Text ab 0");
    EXPECT_TRUE(platform.checks.at(8));  // marks stay until a document is shown

    CloseDocument(state, platform);
    EXPECT_EQ(platform.title, u"Brevikon Reader");
    EXPECT_EQ(state.statusSummary, u"");

    heap.refuseAllocation = true;
    OpenDocument(state, platform, u"neu.doc");
    heap.refuseAllocation = false;
    OpenDocument(state, platform, u"neu.doc");
    EXPECT_TRUE(state.documentImage.held());
    EXPECT_EQ(platform.statusFields[0],
              u"neu.doc   (1234 Bytes)   " + std::u16string(HeaderDocumentSummary));
    // The font chosen without a document is the next one's, and only now do the marks move.
    EXPECT_NE(platform.viewerRtf.find("\\pard\\ql\\f1\\fs24 "), std::string::npos);
    EXPECT_TRUE(platform.checks.at(9));
}

TEST_F(OpenDocumentTest, OpenDialogStartsAtTheCurrentPathAndCancelDoesNothing) {
    OpenWithDialog(state, platform);
    EXPECT_EQ(platform.calls,
              Calls{"ShowOpenDialog(Brevikon-Datei oeffnen | C:\\Texte\\ALT.DOC | "
                    "Alle Dateien (*.*)|*.*|Textdateien (*.txt;*.doc)|*.txt;*.doc)"});
    EXPECT_EQ(Observed(), before);
}

}  // namespace
}  // namespace brevikon::test
