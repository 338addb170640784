// The About box.
#include <gtest/gtest.h>

#include "app/about.h"
#include "base/text.h"
#include "base/version.h"
#include "fake_platform.h"

namespace brevikon::test {
namespace {

TEST(AboutTest, InfoBoxWithTheEightLinesInOrder) {
    FakePlatform platform;
    ShowAbout(platform);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].title, u"Info");
    EXPECT_EQ(platform.messages[0].icon, MessageIcon::Information);

    const std::u16string text = platform.messages[0].text;
    const std::u16string expectedStart =
        u"Brevikon Reader " + AsciiText(BREVIKON_VERSION) +
        u"\n"
        u"liest Dokumente der Brevikon PC Textverarbeitung 1.2\n"
        u"und stellt sie als RTF dar. Speichern als RTF ist moeglich.\n\n"
        u"Uebernommen werden: Absaetze, Wortumbrueche, Umlaute\n"
        u"sowie unterstrichen, fett, hoch-/tiefgestellt, breit und schmal.\n\n"
        u"Anzeige: RichEdit, erstellt mit " +
        AsciiText(BREVIKON_COMPILER) + u"\n\n";
    ASSERT_EQ(text.substr(0, expectedStart.size()), expectedStart);

    // Then the project credit, an empty line, and the tools credit without a final LF.
    const std::u16string credits = text.substr(expectedStart.size());
    const auto gap = credits.find(u"\n\n");
    ASSERT_NE(gap, std::u16string::npos);
    EXPECT_NE(credits.substr(0, gap).find(u"Brevikon Reader"), std::u16string::npos);
    const std::u16string tools = credits.substr(gap + 2);
    EXPECT_NE(tools.find(u"CMake"), std::u16string::npos);
    EXPECT_EQ(tools.find(u'\n'), std::u16string::npos);
    EXPECT_FALSE(tools.empty());
}

}  // namespace
}  // namespace brevikon::test
