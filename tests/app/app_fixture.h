#pragma once
// A started viewer over the recording platform, sample documents, and a printable summary of
// everything the user could notice, for "nothing changed" checks.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/app_state.h"
#include "app/open_document.h"
#include "app/title_status.h"
#include "app/viewer.h"
#include "fake_platform.h"
#include "format/char_table.h"
#include "support/refusing_heap.h"

namespace brevikon::test {

using Calls = std::vector<std::string>;

// "Hi", CR LF, end of text: too short for a header, so its text starts at 0.
inline std::string SmallDocument() {
    return std::string("Hi\r\n\x1a", 5);
}

// A document of `length` (> 760) bytes with a header: right margin 65, page length 72,
// 10 characters per inch, line spacing 2. No zero lies in the search window, so the text
// starts at the long fall-back, 759.
inline std::string HeaderDocument(std::size_t length = 1234) {
    std::string bytes(length, 'A');
    const char header[19] = {0x0A, 0x0B, 0, 0, 65, 0, 72, 0, 10, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0};
    return bytes.replace(0, sizeof header, header, sizeof header);
}
constexpr std::u16string_view HeaderDocumentSummary =
    u"Text ab 759  |  R/Rand 65  Blatt 72  10 Z/Zoll  Abstand 2";

// Every field of the state, the visible texts and the viewer, one per line.
inline std::string Describe(const AppState& state, const FakePlatform& platform) {
    std::ostringstream text;
    text << "fileLength " << state.fileLength << "\nzoom " << state.zoomPercent << "\nfont "
         << static_cast<int>(state.fontMode) << "\nimage " << state.documentImage.size() << " at "
         << static_cast<const void*>(state.documentImage.data()) << "\nreport "
         << state.structureReport.size() << "\nsummary " << Narrow(state.statusSummary) << "\nrtf "
         << std::hash<std::string_view>{}(state.rtfBuffer.content()) << "\nanalysis "
         << state.analysisFlag << "\npath " << Narrow(state.currentPath) << "\ntitle "
         << Narrow(platform.title) << "\nfields " << Narrow(platform.statusFields[0]) << " / "
         << Narrow(platform.statusFields[1]) << "\nviewer "
         << std::hash<std::string>{}(platform.viewerRtf) << " " << Narrow(platform.viewerText)
         << " at " << platform.viewerZoom << "\n";
    for (const auto& [id, checked] : platform.checks)
        text << "check " << id << " " << checked << "\n";
    return text.str();
}

class AppTest : public ::testing::Test {
  protected:
    // What RunMainWindow does before the event loop, without menu and command line.
    void SetUp() override {
        BuildCharTable(state.charTable);
        platform.windowOpen = true;
        ASSERT_NE(CreateViewer(state, platform), NoControl);
        ClearViewer(state, platform);
        RefreshTitleAndStatus(state, platform);
        UpdateFontChecks(state, platform);
        platform.ForgetCalls();
    }

    // Opens a document through OpenDocument and forgets the calls it made.
    void Load(const std::u16string& path, std::string bytes) {
        platform.AddFile(path, std::move(bytes));
        OpenDocument(state, platform, path);
        ASSERT_TRUE(state.documentImage.held()) << Narrow(path) << " did not load";
        ASSERT_TRUE(platform.messages.empty());
        platform.ForgetCalls();
    }

    std::string Observed() const { return Describe(state, platform); }

    // The title and both status fields as the user reads them.
    void ExpectTexts(std::u16string_view title, std::u16string_view field0,
                     std::u16string_view field1 = u"Zoom 100 %") {
        EXPECT_EQ(Narrow(platform.title), Narrow(title));
        EXPECT_EQ(Narrow(platform.statusFields[0]), Narrow(field0));
        EXPECT_EQ(Narrow(platform.statusFields[1]), Narrow(field1));
    }

    // The one message shown, under the program's title.
    void ExpectOnlyMessage(std::u16string_view text, MessageIcon icon) {
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].text, text);
        EXPECT_EQ(platform.messages[0].title, u"Brevikon Reader");
        EXPECT_EQ(platform.messages[0].icon, icon);
    }

    RefusingHeap heap;
    FakePlatform platform;
    AppState state{heap, platform};
};

}  // namespace brevikon::test
