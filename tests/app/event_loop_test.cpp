// Event handling: close and Quit, size, drops, command dispatch and the zoom steps; and a
// hundred rounds through the whole program.
#include <gtest/gtest.h>

#include "app/command_ids.h"
#include "app/event_loop.h"
#include "app/main_window.h"
#include "app_fixture.h"

namespace brevikon::test {
namespace {

using EventLoopTest = AppTest;

AppEvent Command(int id) {
    return {AppEventKind::Command, id, {}};
}
AppEvent Drop(std::u16string names) {
    return {AppEventKind::Drop, 0, std::move(names)};
}

// Close and Quit end the loop unasked, and no further event is taken; ids of no command do
// nothing at all.
TEST_F(EventLoopTest, CloseAndQuitEndTheLoopOtherIdsDoNothing) {
    Load(u"a.doc", SmallDocument());
    const std::string before = Observed();
    for (const int id : {-1, 11, 12, 1000})
        EXPECT_EQ(HandleEvent(state, platform, Command(id)), LoopControl::Continue);
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_EQ(Observed(), before);

    platform.events = {{AppEventKind::Size, 0, {}},
                       Command(CommandZoomIn),
                       Command(CommandQuit),
                       Command(CommandZoomIn)};
    RunEventLoop(state, platform);
    platform.events = {{AppEventKind::Close, 0, {}}, Command(CommandZoomIn)};
    RunEventLoop(state, platform);
    EXPECT_EQ(platform.Count("WaitForEvent"), 4);
    EXPECT_EQ(state.zoomPercent, 110);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(EventLoopTest, DropOpensOnlyTheFirstNameAndOnlyWhenItIsAFile) {
    platform.folders.insert(u"C:\\Ordner");
    platform.AddFile(u"C:\\a.doc", SmallDocument());
    const std::string before = Observed();
    HandleEvent(state, platform, Drop(u"C:\\Ordner\nC:\\a.doc"));
    HandleEvent(state, platform, Drop(u"\nC:\\a.doc"));
    HandleEvent(state, platform, Drop(u""));
    EXPECT_EQ(platform.calls, (Calls{"Read(C:\\Ordner)"}));
    EXPECT_EQ(Observed(), before);

    platform.AddFile(u"C:\\b.doc", SmallDocument());
    platform.ForgetCalls();
    HandleEvent(state, platform, Drop(u"C:\\a.doc\nC:\\b.doc\nC:\\Ordner"));
    EXPECT_EQ(state.currentPath, u"C:\\a.doc");
    for (const std::string& call : platform.calls)
        EXPECT_EQ(call.find("b.doc"), std::string::npos) << call;
}

// Menu steps and wheel notches (each a menu step) move by ten between 40 and 400, applied to
// the viewer and shown in field 1; past a bound nothing happens. Reset applies even at 100,
// for a viewer whose own zoom went astray.
TEST_F(EventLoopTest, ZoomStepsByTenBetweenFortyAndFourHundredAndResets) {
    const auto wheel = [](int notches) { return AppEvent{AppEventKind::WheelZoom, notches, {}}; };
    const struct {
        AppEvent event;
        std::int64_t zoom;
        bool applied;
    } steps[] = {
        {Command(CommandZoomIn), 110, true},
        {wheel(-3), 80, true},
        {wheel(0), 80, false},
        {Command(CommandZoomOut), 70, true},
        {wheel(40), 400, true},
        {Command(CommandZoomIn), 400, false},
        {wheel(-100), 40, true},
        {Command(CommandZoomOut), 40, false},
        {wheel(-1), 40, false},
        {Command(CommandZoomReset), 100, true},
        {Command(CommandZoomReset), 100, true},
    };
    for (const auto& [event, zoom, applied] : steps) {
        platform.ForgetCalls();
        EXPECT_EQ(HandleEvent(state, platform, event), LoopControl::Continue);
        EXPECT_EQ(state.zoomPercent, zoom);
        EXPECT_EQ(platform.calls.empty(), !applied) << zoom;
        EXPECT_EQ(platform.viewerZoom, zoom == 100 ? "0/0" : std::to_string(zoom) + "/100");
        EXPECT_EQ(Narrow(platform.statusFields[1]), "Zoom " + std::to_string(zoom) + " %");
    }
}

TEST_F(EventLoopTest, EachIdRunsItsCommand) {
    platform.AddFile(u"a.doc", SmallDocument());
    platform.openAnswers.push_back(u"a.doc");
    HandleEvent(state, platform, Command(CommandOpen));
    EXPECT_EQ(state.currentPath, u"a.doc");
    HandleEvent(state, platform, Command(CommandAnalyseStructure));
    EXPECT_TRUE(state.analysisFlag);
    HandleEvent(state, platform, Command(CommandProportionalFont));
    EXPECT_EQ(state.fontMode, FontMode::Proportional);
    EXPECT_FALSE(state.analysisFlag);
    HandleEvent(state, platform, Command(CommandMonospaceFont));
    EXPECT_EQ(state.fontMode, FontMode::Monospace);
    platform.saveAnswers.push_back(u"a.rtf");
    HandleEvent(state, platform, Command(CommandSaveAsRtf));
    EXPECT_EQ(platform.writtenFiles.count(u"a.rtf"), 1u);
    HandleEvent(state, platform, Command(CommandClose));
    EXPECT_EQ(state.currentPath, u"");
    platform.ForgetCalls();
    HandleEvent(state, platform, Command(CommandAbout));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].title, u"Info");
}

// A long session through the whole program: a hundred rounds of drop, analyse, font change,
// save and close. Nothing may pile up: the sanitizer build's leak check runs at the end of the
// test program, and the state must be back where it started after every round.
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
