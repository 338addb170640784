#include "app/menu_table.h"

#include <cstdint>

#include "app/command_ids.h"

namespace brevikon {

namespace {

constexpr MenuItem FileItems[] = {
    {CommandOpen, u"&Oeffnen...\tStrg+O"},
    {CommandSaveAsRtf, u"Speichern &als...\tStrg+S"},
    {CommandClose, u"S&chliessen\tStrg+W"},
    {MenuSeparator, u""},
    {CommandAnalyseStructure, u"Struktur &analysieren\tStrg+A"},
    {MenuSeparator, u""},
    {CommandQuit, u"&Ende\tStrg+Q"},
};

constexpr MenuItem ViewItems[] = {
    {CommandZoomIn, u"&Groesser\tStrg++"},
    {CommandZoomOut, u"&Kleiner\tStrg+-"},
    {CommandZoomReset, u"&Originalgroesse\tStrg+0"},
    {MenuSeparator, u""},
    {CommandMonospaceFont, u"Schrift: &Monospace"},
    {CommandProportionalFont, u"Schrift: &Proportional"},
};

constexpr MenuItem HelpItems[] = {
    {CommandAbout, u"&Info"},
};

constexpr Menu Menus[] = {
    {u"&Datei", FileItems},
    {u"&Ansicht", ViewItems},
    {u"&?", HelpItems},
};

// Windows virtual-key codes. Only the keypad's plus and minus zoom, and only the main
// keyboard's 0 resets: the other plus, minus and 0 keys are no shortcuts.
constexpr std::uint16_t KeyO = 0x4F;
constexpr std::uint16_t KeyS = 0x53;
constexpr std::uint16_t KeyW = 0x57;
constexpr std::uint16_t KeyA = 0x41;
constexpr std::uint16_t KeyQ = 0x51;
constexpr std::uint16_t KeyKeypadPlus = 0x6B;   // VK_ADD
constexpr std::uint16_t KeyKeypadMinus = 0x6D;  // VK_SUBTRACT
constexpr std::uint16_t KeyDigit0 = 0x30;

constexpr Shortcut Shortcuts[] = {
    {KeyO, CommandOpen},
    {KeyS, CommandSaveAsRtf},
    {KeyW, CommandClose},
    {KeyA, CommandAnalyseStructure},
    {KeyQ, CommandQuit},
    {KeyKeypadPlus, CommandZoomIn},
    {KeyKeypadMinus, CommandZoomOut},
    {KeyDigit0, CommandZoomReset},
};

}  // namespace

std::span<const Menu> MainMenus() {
    return Menus;
}
std::span<const Shortcut> MainShortcuts() {
    return Shortcuts;
}

}  // namespace brevikon
