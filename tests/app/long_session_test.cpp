// A long session through the whole program: a hundred rounds of drop, analyse, font change,
// save and close. Nothing may pile up: the sanitizer build's leak check runs at the end of the
// test program, and the state must be back where it started after every round.
#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "app/main_window.h"
#include "app_fixture.h"

namespace brevikon::test {
namespace {

AppEvent Command(int id) {
    return {AppEventKind::Command, id, {}};
}

TEST(LongSession, HundredRoundsOfOpenAnalyseSaveCloseLeaveNothingBehind) {
    FakePlatform platform;
    platform.AddFile(u"C:\\Texte\\BRIEF.TXT", HeaderDocument(40000));
    platform.AddFile(u"C:\\Texte\\KURZ.TXT", SmallDocument());
    for (int round = 0; round < 100; ++round) {
        const std::u16string path = round % 2 ? u"C:\\Texte\\KURZ.TXT" : u"C:\\Texte\\BRIEF.TXT";
        platform.events.push_back({AppEventKind::Drop, 0, path + u"\nC:\\Texte\\other.doc"});
        platform.events.push_back(Command(CommandAnalyseStructure));
        platform.events.push_back(Command(CommandProportionalFont));
        platform.saveAnswers.push_back(u"C:\\Out\\round");
        platform.events.push_back(Command(CommandSaveAsRtf));
        platform.events.push_back(Command(CommandMonospaceFont));
        platform.events.push_back(Command(CommandClose));
    }
    platform.events.push_back(Command(CommandQuit));

    AppState state{ProcessHeap(), platform};
    EXPECT_EQ(ProcessStart(state, platform), ExitNormal);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_FALSE(state.documentImage.held());
    EXPECT_EQ(state.rtfBuffer.storage, nullptr);  // released at the end of the run
    EXPECT_EQ(state.currentPath, u"");
    EXPECT_EQ(platform.title, u"Brevikon Reader");
    // The last save came from the short document in the proportional font.
    const std::string& saved = platform.writtenFiles.at(u"C:\\Out\\round.rtf");
    EXPECT_NE(saved.find("\\pard\\ql\\f1\\fs24 Hi\\par"), std::string::npos);
    EXPECT_TRUE(platform.events.empty());
}

}  // namespace
}  // namespace brevikon::test
