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
    const std::u16string start =
        u"Brevikon Reader " + AsciiText(BREVIKON_VERSION) +
        u"\nliest Dokumente der Brevikon PC Textverarbeitung 1.2\n"
        u"und stellt sie als RTF dar. Speichern als RTF ist moeglich.\n\n"
        u"Uebernommen werden: Absaetze, Wortumbrueche, Umlaute\n"
        u"sowie unterstrichen, fett, hoch-/tiefgestellt, breit und schmal.\n\n"
        u"Anzeige: RichEdit, erstellt mit " +
        AsciiText(BREVIKON_COMPILER) + u"\n\n";
    const std::u16string& text = platform.messages[0].text;
    ASSERT_TRUE(text.starts_with(start));
    // Then the project credit, an empty line, and the tools credit without a final LF.
    const std::u16string credits = text.substr(start.size());
    const auto gap = credits.find(u"\n\n");
    ASSERT_NE(gap, std::u16string::npos);
    EXPECT_NE(credits.substr(0, gap).find(u"Brevikon Reader"), std::u16string::npos);
    EXPECT_NE(credits.find(u"CMake", gap), std::u16string::npos);
    EXPECT_EQ(credits.find(u'\n', gap + 2), std::u16string::npos);
}

}  // namespace
}  // namespace brevikon::test
