#pragma once
// A started viewer over the recording platform, sample documents, and a printable summary of
// everything the user could notice, for "nothing changed" checks.
#include <gtest/gtest.h>

#include <string>

#include "app/app_state.h"
#include "app/open_document.h"
#include "app/title_status.h"
#include "app/viewer.h"
#include "fake_platform.h"
#include "format/char_table.h"
#include "support/refusing_heap.h"

namespace brevikon::test {

// "Hi", CR LF, end of text: too short for a header, so its text starts at 0.
inline std::string SmallDocument() {
    return std::string("Hi\r\n\x1a", 5);
}
constexpr std::u16string_view SmallDocumentSummary = u"Text ab 0";

// A document of `length` (> 760) bytes with a header: right margin 65, page length 72,
// 10 characters per inch, line spacing 2. No zero lies in the search window, so the text
// starts at the long fall-back, 759.
inline std::string HeaderDocument(std::size_t length = 1234) {
    std::string bytes(length, 'A');
    const unsigned char header[19] = {0x0A, 0x0B, 0, 0, 65, 0, 72, 0, 10, 0,
                                      2,    0,    0, 0, 0,  0, 0,  0, 0};
    bytes.replace(0, sizeof header, reinterpret_cast<const char*>(header), sizeof header);
    return bytes;
}
constexpr std::u16string_view HeaderDocumentSummary =
    u"Text ab 759  |  R/Rand 65  Blatt 72  10 Z/Zoll  Abstand 2";

// Every field of the state, the visible texts and the viewer, one per line.
inline std::string Describe(const AppState& state, const FakePlatform& platform) {
    std::string text;
    auto line = [&text](const char* name, const std::string& value) {
        text += name;
        text += ": ";
        text += value;
        text += '\n';
    };
    line("fileLength", std::to_string(state.fileLength));
    line("zoomPercent", std::to_string(state.zoomPercent));
    line("fontMode", std::to_string(state.fontMode));
    line("image",
         state.documentImage.held()
             ? std::to_string(state.documentImage.size()) + " bytes at " +
                   std::to_string(reinterpret_cast<std::uintptr_t>(state.documentImage.data()))
             : "none");
    line("structureReport", std::to_string(state.structureReport.size()) + " units");
    line("statusSummary", Narrow(state.statusSummary));
    line("rtf", std::to_string(state.rtfBuffer.used) + " bytes, hash " +
                    std::to_string(std::hash<std::string_view>{}(state.rtfBuffer.content())));
    line("analysisFlag", std::to_string(state.analysisFlag));
    line("currentPath", Narrow(state.currentPath));
    line("title", Narrow(platform.title));
    line("field0", Narrow(platform.statusFields[0]));
    line("field1", Narrow(platform.statusFields[1]));
    line("viewer", platform.viewerContent == ViewerContent::Rtf
                       ? "rtf " + std::to_string(std::hash<std::string>{}(platform.viewerRtf))
                       : "text " + Narrow(platform.viewerText));
    line("zoom",
         std::to_string(platform.zoomNumerator) + "/" + std::to_string(platform.zoomDenominator));
    for (const auto& [id, checked] : platform.checks) {
        line(("check " + std::to_string(id)).c_str(), checked ? "on" : "off");
    }
    return text;
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

    RefusingHeap heap;
    AppState state{heap};
    FakePlatform platform;
};

}  // namespace brevikon::test
