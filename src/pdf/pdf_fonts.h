#pragma once
// The faces of a printed page: the free, metric-compatible equivalents of the RTF's fonts
// (Liberation Mono for Courier New, Liberation Serif for Times New Roman) from Debian's
// packages, each with a second face for the characters the first has no glyph for (box
// drawing, blocks, Greek): DejaVu.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "format/font_mode.h"
#include "pdf/true_type_font.h"

namespace brevikon {

// The font files of one font mode, in the order they are asked for a character: regular
// faces first, then bold ones.
struct PdfFontFiles {
    std::array<std::string, 2> regular;  // the face and its second for missing glyphs
    std::array<std::string, 2> bold;
};
PdfFontFiles FontFilesFor(FontMode mode);

// The colour profile every PDF/A names for its output: sRGB, from Debian's free profiles.
constexpr const char* SrgbProfileFile = "/usr/share/color/icc/sRGB.icc";

// The first file the mode's PDF needs (fonts, colour profile) that cannot be read as such,
// or empty when all can.
std::string UnreadablePdfResource(FontMode mode);

// A font as one document uses it.
struct UsedFont {
    TrueTypeFont face;
    std::vector<bool> usedGlyphs;
    std::vector<char16_t> characterOf;  // per glyph: the character it stands for, 0: none
    bool loaded = false;
};

class PdfFontSet {
  public:
    // Reads the mode's fonts once; false when a first face cannot be read.
    bool Load(FontMode mode);

    struct Choice {
        int font = 0;  // index into fonts()
        std::uint16_t glyph = 0;
    };
    // The face that shows code: the first with a glyph for it that does not already stand for
    // another character (so copied text gives each character back), else the first with a
    // glyph at all. Records the glyph as used.
    Choice Choose(char16_t code, bool bold);

    // Forgets what the last document used; the fonts stay loaded.
    void StartDocument();

    std::vector<UsedFont>& fonts() { return fonts_; }
    // The face whose underline metrics the page uses.
    const TrueTypeFont& primary(bool bold) const { return fonts_[bold ? 2 : 0].face; }
    const std::string& srgbProfile() const { return srgbProfile_; }

  private:
    // Marks choice's glyph as used for code, unless it is the missing glyph.
    Choice Record(Choice choice, char16_t code);

    FontMode mode_ = FontMode::Monospace;
    bool loadedMode_ = false;
    std::vector<UsedFont> fonts_;  // regular, its second, bold, its second
    std::string srgbProfile_;
};

}  // namespace brevikon
