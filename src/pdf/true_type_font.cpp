#include "pdf/true_type_font.h"

#include <algorithm>

namespace brevikon {

namespace {

std::uint16_t U16(std::string_view b, std::size_t at) {
    if (at + 2 > b.size()) return 0;
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) << 8 |
                                      static_cast<std::uint8_t>(b[at + 1]));
}
std::int16_t S16(std::string_view b, std::size_t at) {
    return static_cast<std::int16_t>(U16(b, at));
}
std::uint32_t U32(std::string_view b, std::size_t at) {
    return static_cast<std::uint32_t>(U16(b, at)) << 16 | U16(b, at + 2);
}
void Put16(std::string& out, std::uint32_t v) {
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
    out.push_back(static_cast<char>(v & 0xFF));
}
void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v >> 16);
    Put16(out, v & 0xFFFF);
}
void Set32(std::string& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
}
std::uint32_t CheckSum(std::string_view bytes) {
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at < bytes.size(); at += 4) {
        std::uint32_t word = 0;
        for (std::size_t i = 0; i < 4; ++i)
            word =
                word << 8 | (at + i < bytes.size() ? static_cast<std::uint8_t>(bytes[at + i]) : 0);
        sum += word;
    }
    return sum;
}

// Composite glyph flags.
constexpr std::uint16_t ArgumentsAreWords = 0x0001;
constexpr std::uint16_t HasScale = 0x0008;
constexpr std::uint16_t MoreComponents = 0x0020;
constexpr std::uint16_t HasXYScale = 0x0040;
constexpr std::uint16_t HasTwoByTwo = 0x0080;

// The tables a PDF reader renders from; the layout tables (kerning, substitutions) and the
// glyph names are left out.
constexpr std::string_view KeptTables[] = {"OS/2", "cmap", "cvt ", "fpgm", "glyf", "head", "hhea",
                                           "hmtx", "loca", "maxp", "name", "post", "prep"};

}  // namespace

const TrueTypeFont::Table* TrueTypeFont::Find(std::string_view tag) const {
    for (const auto& [name, table] : tables_) {
        if (name == tag) return &table;
    }
    return nullptr;
}

bool TrueTypeFont::Parse(std::string bytes) {
    bytes_ = std::move(bytes);
    const std::string_view b = bytes_;
    const std::uint32_t version = U32(b, 0);
    if (version != 0x00010000 && version != 0x74727565) return false;  // TrueType outlines only
    const std::uint16_t count = U16(b, 4);
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::size_t entry = 12 + 16 * std::size_t{i};
        if (entry + 16 > b.size()) return false;
        Table table{U32(b, entry + 8), U32(b, entry + 12)};
        if (table.offset > b.size() || table.length > b.size() - table.offset) return false;
        tables_.emplace_back(std::string(b.substr(entry, 4)), table);
    }
    const Table* head = Find("head");
    const Table* hhea = Find("hhea");
    const Table* hmtx = Find("hmtx");
    const Table* maxp = Find("maxp");
    const Table* cmap = Find("cmap");
    const Table* post = Find("post");
    if (!head || !hhea || !hmtx || !maxp || !cmap || !post || !Find("glyf") || !Find("loca") ||
        head->length < 54 || hhea->length < 36 || maxp->length < 6 || post->length < 32) {
        return false;
    }
    const std::string_view h = TableBytes(*head);
    unitsPerEm_ = U16(h, 18);
    if (unitsPerEm_ < 16) return false;
    box_ = {S16(h, 36), S16(h, 38), S16(h, 40), S16(h, 42)};
    bold_ = (U16(h, 44) & 1) != 0;
    longOffsets_ = S16(h, 50) == 1;
    const std::string_view hh = TableBytes(*hhea);
    ascent_ = S16(hh, 4);
    descent_ = S16(hh, 6);
    capHeight_ = ascent_;
    glyphCount_ = U16(TableBytes(*maxp), 4);
    const std::uint16_t metrics = U16(hh, 34);
    const std::string_view mtx = TableBytes(*hmtx);
    if (metrics == 0 || metrics > glyphCount_ || mtx.size() < 4u * metrics) return false;
    advances_.resize(glyphCount_);
    for (std::uint16_t g = 0; g < glyphCount_; ++g)
        advances_[g] = U16(mtx, 4 * std::size_t{std::min<std::uint16_t>(g, metrics - 1)});
    const std::string_view p = TableBytes(*post);
    italicAngle_ = S16(p, 4);
    underlinePosition_ = S16(p, 8);
    underlineThickness_ = S16(p, 10);
    fixedPitch_ = U32(p, 12) != 0;
    if (const Table* os2 = Find("OS/2"); os2 && os2->length >= 90 && U16(TableBytes(*os2), 0) >= 2)
        capHeight_ = S16(TableBytes(*os2), 88);
    if (const Table* name = Find("name")) {
        // The PostScript name (id 6) in the Windows Unicode record, as ASCII.
        const std::string_view n = TableBytes(*name);
        const std::uint16_t records = U16(n, 2);
        const std::size_t strings = U16(n, 4);
        for (std::uint16_t i = 0; i < records && postScriptName_.empty(); ++i) {
            const std::size_t r = 6 + 12 * std::size_t{i};
            if (U16(n, r) != 3 || U16(n, r + 6) != 6) continue;
            const std::size_t length = U16(n, r + 8), offset = strings + U16(n, r + 10);
            for (std::size_t c = 0; c + 1 < length && offset + c + 1 < n.size(); c += 2) {
                const char ch = n[offset + c + 1];
                if (ch > ' ' && ch < 127 && ch != '/' && ch != '(' && ch != ')')
                    postScriptName_ += ch;
            }
        }
    }
    if (postScriptName_.empty()) postScriptName_ = "Font";
    return ReadCharacterMap(*cmap);
}

bool TrueTypeFont::ReadCharacterMap(const Table& table) {
    const std::string_view c = TableBytes(table);
    const std::uint16_t count = U16(c, 2);
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::size_t record = 4 + 8 * std::size_t{i};
        const std::uint16_t platform = U16(c, record), encoding = U16(c, record + 2);
        if (!((platform == 3 && encoding == 1) || platform == 0)) continue;
        const std::size_t sub = U32(c, record + 4);
        if (U16(c, sub) != 4) continue;  // segment mapping of the Basic Multilingual Plane
        const std::size_t segments = U16(c, sub + 6) / 2;
        const std::size_t ends = sub + 14, starts = ends + 2 * segments + 2,
                          deltas = starts + 2 * segments, ranges = deltas + 2 * segments;
        if (ranges + 2 * segments > c.size()) return false;
        for (std::size_t s = 0; s < segments; ++s) {
            const std::uint16_t end = U16(c, ends + 2 * s), start = U16(c, starts + 2 * s);
            const std::uint16_t delta = U16(c, deltas + 2 * s);
            const std::uint16_t rangeOffset = U16(c, ranges + 2 * s);
            for (std::uint32_t code = start; code <= end && code < 0xFFFF; ++code) {
                std::uint16_t glyph = 0;
                if (rangeOffset == 0) {
                    glyph = static_cast<std::uint16_t>(code + delta);
                } else {
                    const std::size_t at = ranges + 2 * s + rangeOffset + 2 * (code - start);
                    glyph = U16(c, at);
                    if (glyph) glyph = static_cast<std::uint16_t>(glyph + delta);
                }
                if (glyph < glyphCount_) glyphOf_[code] = glyph;
            }
        }
        return true;
    }
    return false;
}

int TrueTypeFont::AdvanceOf(std::uint16_t glyph) const {
    return glyph < advances_.size() ? Scaled(advances_[glyph]) : 0;
}

std::size_t TrueTypeFont::OutlineSize(std::uint16_t glyph) const {
    std::uint32_t start = 0, end = 0;
    return glyph < glyphCount_ && GlyphRange(glyph, start, end) ? end - start : 0;
}

std::array<int, 4> TrueTypeFont::boundingBox() const {
    return {Scaled(box_[0]), Scaled(box_[1]), Scaled(box_[2]), Scaled(box_[3])};
}

bool TrueTypeFont::GlyphRange(std::uint16_t glyph, std::uint32_t& start, std::uint32_t& end) const {
    const std::string_view loca = TableBytes(*Find("loca"));
    if (longOffsets_) {
        start = U32(loca, 4 * std::size_t{glyph});
        end = U32(loca, 4 * std::size_t{glyph} + 4);
    } else {
        start = 2u * U16(loca, 2 * std::size_t{glyph});
        end = 2u * U16(loca, 2 * std::size_t{glyph} + 2);
    }
    return start <= end && end <= Find("glyf")->length;
}

std::string TrueTypeFont::Subset(const std::vector<bool>& used) const {
    const std::string_view glyf = TableBytes(*Find("glyf"));
    // The glyphs to keep: the missing glyph, those used, and the parts of composite ones.
    std::vector<bool> keep(glyphCount_, false);
    std::vector<std::uint16_t> pending{0};
    for (std::uint16_t g = 0; g < glyphCount_ && g < used.size(); ++g) {
        if (used[g]) pending.push_back(g);
    }
    while (!pending.empty()) {
        const std::uint16_t g = pending.back();
        pending.pop_back();
        if (g >= glyphCount_ || keep[g]) continue;
        keep[g] = true;
        std::uint32_t start = 0, end = 0;
        if (!GlyphRange(g, start, end) || end - start < 10 || S16(glyf, start) >= 0) continue;
        std::size_t at = start + 10;
        for (;;) {
            if (at + 4 > end) break;
            const std::uint16_t flags = U16(glyf, at);
            pending.push_back(U16(glyf, at + 2));
            at += 4 + ((flags & ArgumentsAreWords) ? 4 : 2);
            at += (flags & HasScale) ? 2 : (flags & HasXYScale) ? 4 : (flags & HasTwoByTwo) ? 8 : 0;
            if (!(flags & MoreComponents)) break;
        }
    }
    std::string newGlyf, newLoca;
    auto addOffset = [&](std::size_t offset) {
        if (longOffsets_) {
            Put32(newLoca, static_cast<std::uint32_t>(offset));
        } else {
            Put16(newLoca, static_cast<std::uint32_t>(offset / 2));
        }
    };
    for (std::uint16_t g = 0; g < glyphCount_; ++g) {
        addOffset(newGlyf.size());
        std::uint32_t start = 0, end = 0;
        if (keep[g] && GlyphRange(g, start, end)) {
            newGlyf.append(glyf.substr(start, end - start));
            while (newGlyf.size() % 4)
                newGlyf.push_back('\0');
        }
    }
    addOffset(newGlyf.size());

    std::vector<std::pair<std::string_view, std::string>> kept;
    for (const std::string_view tag : KeptTables) {
        const Table* table = Find(tag);
        if (!table) continue;
        std::string content(TableBytes(*table));
        if (tag == "glyf") content = newGlyf;
        if (tag == "loca") content = newLoca;
        if (tag == "post") {
            // Version 3: no glyph names.
            content.resize(32);
            Set32(content, 0, 0x00030000);
        }
        if (tag == "head") Set32(content, 8, 0);  // the font's checksum, set below
        kept.emplace_back(tag, std::move(content));
    }
    const auto count = static_cast<std::uint16_t>(kept.size());
    std::uint16_t power = 1, log2 = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++log2;
    }
    std::string out;
    Put32(out, 0x00010000);
    Put16(out, count);
    Put16(out, power * 16);
    Put16(out, log2);
    Put16(out, count * 16 - power * 16);
    std::size_t offset = 12 + 16 * std::size_t{count};
    std::size_t headAt = 0;
    for (const auto& [tag, content] : kept) {
        out.append(tag);
        Put32(out, CheckSum(content));
        Put32(out, static_cast<std::uint32_t>(offset));
        Put32(out, static_cast<std::uint32_t>(content.size()));
        if (tag == "head") headAt = offset;
        offset += (content.size() + 3) / 4 * 4;
    }
    for (const auto& [tag, content] : kept) {
        out += content;
        while (out.size() % 4)
            out.push_back('\0');
    }
    if (headAt) Set32(out, headAt + 8, 0xB1B0AFBA - CheckSum(out));
    return out;
}

}  // namespace brevikon
