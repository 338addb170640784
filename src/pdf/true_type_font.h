#pragma once
// A TrueType font file as a PDF needs it: the glyph of a character, the glyph's advance, the
// metrics of the font descriptor, and a subset that keeps only the glyphs a document uses
// (under their own numbers, so the PDF can name glyphs by number).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brevikon {

class TrueTypeFont {
  public:
    // False when bytes are not a TrueType font with the tables needed here.
    bool Parse(std::string bytes);

    // 0 (the missing glyph) when the font has none for code.
    std::uint16_t GlyphOf(char16_t code) const { return glyphOf_[code]; }
    // In thousandths of the font size, as a PDF's widths are.
    int AdvanceOf(std::uint16_t glyph) const;

    std::uint16_t glyphCount() const { return glyphCount_; }
    // Bytes of the glyph's outline; 0 for an empty glyph (a space, or one left out).
    std::size_t OutlineSize(std::uint16_t glyph) const;
    int ascent() const { return Scaled(ascent_); }
    int descent() const { return Scaled(descent_); }
    int capHeight() const { return Scaled(capHeight_); }
    std::array<int, 4> boundingBox() const;
    int italicAngle() const { return italicAngle_; }
    bool fixedPitch() const { return fixedPitch_; }
    bool bold() const { return bold_; }
    int underlinePosition() const { return Scaled(underlinePosition_); }
    int underlineThickness() const { return Scaled(underlineThickness_); }
    const std::string& postScriptName() const { return postScriptName_; }

    // The font with every glyph not in used (and not a part of one in used) emptied, and the
    // tables a PDF reader does not need left out. Glyph numbers stay as they are.
    std::string Subset(const std::vector<bool>& used) const;

  private:
    struct Table {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };
    const Table* Find(std::string_view tag) const;
    std::string_view TableBytes(const Table& table) const {
        return std::string_view(bytes_).substr(table.offset, table.length);
    }
    bool ReadCharacterMap(const Table& cmap);
    bool GlyphRange(std::uint16_t glyph, std::uint32_t& start, std::uint32_t& end) const;
    int Scaled(int units) const { return units * 1000 / unitsPerEm_; }

    std::string bytes_;
    std::vector<std::pair<std::string, Table>> tables_;
    std::vector<std::uint16_t> glyphOf_ = std::vector<std::uint16_t>(65536, 0);
    std::vector<std::uint16_t> advances_;
    std::uint16_t glyphCount_ = 0;
    int unitsPerEm_ = 1000;
    std::array<int, 4> box_{};
    int ascent_ = 0, descent_ = 0, capHeight_ = 0;
    int italicAngle_ = 0;
    int underlinePosition_ = 0, underlineThickness_ = 0;
    bool fixedPitch_ = false;
    bool bold_ = false;
    bool longOffsets_ = false;
    std::string postScriptName_;
};

}  // namespace brevikon
