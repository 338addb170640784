// Title, status fields and font check marks as computed from the state.
#include <gtest/gtest.h>

#include "app_fixture.h"

namespace brevikon::test {
namespace {

using TitleStatusTest = AppTest;

TEST_F(TitleStatusTest, NoFileOpen) {
    RefreshTitleAndStatus(state, platform);
    EXPECT_EQ(platform.title, u"Brevikon Reader");
    EXPECT_EQ(platform.statusFields[0], u"Keine Datei geoeffnet");
    EXPECT_EQ(platform.statusFields[1], u"Zoom 100 %");
}

TEST_F(TitleStatusTest, WritesFieldZeroThenTitleThenFieldOne) {
    RefreshTitleAndStatus(state, platform);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"SetStatusText(0, Keine Datei geoeffnet)",
                                                        "SetTitle(Brevikon Reader)",
                                                        "SetStatusText(1, Zoom 100 %)"}));
}

TEST_F(TitleStatusTest, DocumentViewShowsNameSizeAndSummary) {
    state.currentPath = u"C:\\Texte\\BRIEF.TXT";
    state.fileLength = 1234;
    state.statusSummary = u"Text ab 0";
    RefreshTitleAndStatus(state, platform);
    EXPECT_EQ(platform.title, u"BRIEF.TXT - Brevikon Reader");
    EXPECT_EQ(platform.statusFields[0], u"BRIEF.TXT   (1234 Bytes)   Text ab 0");
}

TEST_F(TitleStatusTest, AnalysisViewShowsTheNote) {
    state.currentPath = u"C:/Texte/BRIEF.TXT";
    state.fileLength = 1234;
    state.statusSummary = u"Text ab 0";
    state.analysisFlag = 1;
    RefreshTitleAndStatus(state, platform);
    EXPECT_EQ(platform.title, u"BRIEF.TXT [Analyse] - Brevikon Reader");
    EXPECT_EQ(platform.statusFields[0], u"BRIEF.TXT   -   Strukturanalyse");
}

TEST_F(TitleStatusTest, PathEndingInASeparatorGivesAnEmptyName) {
    state.currentPath = u"C:\\Texte\\";
    state.fileLength = 5;
    RefreshTitleAndStatus(state, platform);
    EXPECT_EQ(platform.title, u" - Brevikon Reader");
    EXPECT_EQ(platform.statusFields[0], u"   (5 Bytes)   ");
}

TEST_F(TitleStatusTest, OpenFileIsDecidedByThePathAloneNotTheImage) {
    // As after a failed image allocation: path set, no image.
    state.currentPath = u"x.doc";
    state.fileLength = 7;
    RefreshTitleAndStatus(state, platform);
    EXPECT_EQ(platform.title, u"x.doc - Brevikon Reader");
}

}  // namespace
}  // namespace brevikon::test
