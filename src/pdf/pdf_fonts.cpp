#include "pdf/pdf_fonts.h"

#include <fstream>

namespace brevikon {

namespace {

constexpr const char* LiberationFolder = "/usr/share/fonts/truetype/liberation/";
constexpr const char* DejaVuFolder = "/usr/share/fonts/truetype/dejavu/";
// No font file of these packages comes near this; a larger file is not one of them.
constexpr std::streamoff MaxFontFileSize = 32 << 20;

bool ReadWhole(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size <= 0 || size > MaxFontFileSize) return false;
    in.seekg(0);
    bytes.assign(static_cast<std::size_t>(size), '\0');
    return static_cast<bool>(in.read(bytes.data(), size));
}

bool ReadFont(const std::string& path, TrueTypeFont& font) {
    std::string bytes;
    return ReadWhole(path, bytes) && font.Parse(std::move(bytes));
}

// An ICC profile names its size in its first four bytes and its signature at 36.
bool ReadProfile(std::string& bytes) {
    return ReadWhole(SrgbProfileFile, bytes) && bytes.size() > 128 &&
           bytes.compare(36, 4, "acsp") == 0;
}

}  // namespace

PdfFontFiles FontFilesFor(FontMode mode) {
    const std::string liberation = LiberationFolder, dejavu = DejaVuFolder;
    if (mode == FontMode::Monospace) {
        return {{liberation + "LiberationMono-Regular.ttf", dejavu + "DejaVuSansMono.ttf"},
                {liberation + "LiberationMono-Bold.ttf", dejavu + "DejaVuSansMono-Bold.ttf"}};
    }
    return {{liberation + "LiberationSerif-Regular.ttf", dejavu + "DejaVuSerif.ttf"},
            {liberation + "LiberationSerif-Bold.ttf", dejavu + "DejaVuSerif-Bold.ttf"}};
}

std::string UnreadablePdfResource(FontMode mode) {
    std::string profile;
    if (!ReadProfile(profile)) return SrgbProfileFile;
    const PdfFontFiles files = FontFilesFor(mode);
    for (const auto& group : {files.regular, files.bold}) {
        for (const std::string& path : group) {
            TrueTypeFont font;
            if (!ReadFont(path, font)) return path;
        }
    }
    return {};
}

bool PdfFontSet::Load(FontMode mode) {
    if (loadedMode_ && mode_ == mode) return true;
    loadedMode_ = false;
    mode_ = mode;
    if (!ReadProfile(srgbProfile_)) return false;
    fonts_.assign(4, {});
    const PdfFontFiles files = FontFilesFor(mode);
    const std::string* paths[] = {&files.regular[0], &files.regular[1], &files.bold[0],
                                  &files.bold[1]};
    for (int i = 0; i < 4; ++i) {
        UsedFont& font = fonts_[i];
        font.loaded = ReadFont(*paths[i], font.face);
        // Without its first face a weight cannot be shown; the second only fills gaps.
        if (!font.loaded && i % 2 == 0) return false;
        font.usedGlyphs.assign(font.face.glyphCount(), false);
        font.characterOf.assign(font.face.glyphCount(), 0);
    }
    loadedMode_ = true;
    return true;
}

void PdfFontSet::StartDocument() {
    for (UsedFont& font : fonts_) {
        font.usedGlyphs.assign(font.usedGlyphs.size(), false);
        font.characterOf.assign(font.characterOf.size(), 0);
    }
}

PdfFontSet::Choice PdfFontSet::Choose(char16_t code, bool bold) {
    const int first = bold ? 2 : 0;
    Choice choice{first, 0};
    for (int i = first; i < first + 2; ++i) {
        UsedFont& font = fonts_[i];
        if (!font.loaded) continue;
        const std::uint16_t glyph = font.face.GlyphOf(code);
        if (!glyph) continue;
        const char16_t taken = font.characterOf[glyph];
        if (taken == 0 || taken == code) return Record({i, glyph}, code);
        if (choice.glyph == 0) choice = {i, glyph};  // shared, but better than none
    }
    return Record(choice, code);
}

PdfFontSet::Choice PdfFontSet::Record(Choice choice, char16_t code) {
    UsedFont& font = fonts_[choice.font];
    // The missing glyph stands for no character: copied text must not pretend it was shown.
    if (choice.glyph != 0 && choice.glyph < font.usedGlyphs.size()) {
        font.usedGlyphs[choice.glyph] = true;
        if (font.characterOf[choice.glyph] == 0) font.characterOf[choice.glyph] = code;
    }
    return choice;
}

}  // namespace brevikon
