// The HTML plain run's blocks, over blocks of Blocks::Size bytes. No include guard and no
// includes: each build of the run includes it inside an unnamed namespace after everything
// it uses, so that the loop takes that build's instruction set and no definition is shared
// between builds. Needs format/text_runs.h and text_export/convert_to_html.h.
//
// Blocks gives Size, Whole (a mask of Size bits), Classify(p) as ClassifyRunBlock does for
// sixteen bytes (tabs may be counted among the stops), and Store(p, out) as StoreSingleBytes.

// The forms of count bytes that all stay in the run.
inline char* AppendRunForms(const HtmlExporter::RunForm* const forms, const std::uint8_t* p,
                            int count, char* o) {
#pragma GCC unroll 16
    for (int n = 0; n < count; ++n) {
        const HtmlExporter::RunForm& form = forms[p[n]];
        std::memcpy(o, form.bytes, sizeof form.bytes);
        o += form.length;
    }
    return o;
}

// The bytes from p on that stay in the run, up to stop; p ends at the first that does not.
// A block at a time where none of them ends the run: no test per byte, printable ASCII that
// needs no reference and the space codes stored as they are written, and the forms of a few
// other bytes written over them.
// Where a block ends at a line's end followed by text, that end is taken here too (see
// HtmlRunLineEnds), and the blocks go on.
template <typename Blocks, bool Prose>
inline char* AppendRunBytes(const HtmlExporter::RunForm* const forms, const bool literalAscii,
                            const std::uint8_t*& p, const std::uint8_t* stop, char* o,
                            HtmlRunLineEnds& lineEnds) {
    constexpr int Size = Blocks::Size;
    // In plain text a block's forms are few: one turn without a test is enough.
    constexpr int SureWideTurns = Prose ? 2 : 1;
    // A paragraph's end with the next one's opening, after the line break an empty one holds.
    static constexpr char ParagraphEnds[] = "<br></div>\n<div>\0\0\0";
    constexpr int EmptyEndSize = 16, LineBreakSize = 4;
    static_assert(sizeof ParagraphEnds >= EmptyEndSize + LineBreakSize);
    const auto rest = [forms](const std::uint8_t* from, int count, char* to) {
        return AppendRunForms(forms, from, count, to);
    };
    const auto store = [](const std::uint8_t* from, char* to) { Blocks::Store(from, to); };
    while (stop - p >= Size) {
        const RunBlockClasses classes = Blocks::Classify(p);
        const std::uint32_t ends = classes.stops | classes.tabs;
        if (!literalAscii) {
            const int before = ends ? std::countr_zero(ends) : Size;
            o = AppendRunForms(forms, p, before, o);
            p += before;
            if (before < Size) return o;
            continue;
        }
        const bool mixed = stop - p >= 2 * Size;
        const std::uint32_t single = classes.printable | classes.spaces;
        if (!ends) {
            if (!Prose && classes.printable == Blocks::Whole) {
                std::memcpy(o, p, Size);
                o += Size;
            } else if (mixed) {
                Blocks::Store(p, o);
                o = WriteMixedBlockOf<Blocks::Size, SureWideTurns>(
                    p, Size, ~single & Blocks::Whole, forms, o, rest, NoFormSeen{}, store);
            } else {
                o = AppendRunForms(forms, p, Size, o);
            }
            p += Size;
            continue;
        }
        const int before = std::countr_zero(ends);
        const std::uint32_t others = ~single & ((1u << before) - 1);
        if (!others) {
            Blocks::Store(p, o);  // what lies beyond is overwritten
            o += before;
        } else if (mixed) {
            Blocks::Store(p, o);
            o = WriteMixedBlockOf<Blocks::Size, SureWideTurns>(p, before, others, forms, o, rest,
                                                               NoFormSeen{}, store);
        } else {
            o = AppendRunForms(forms, p, before, o);
        }
        p += before;
        // The line's end reads up to four bytes past the stop, inside the second block.
        if (mixed && p[1] == LineFeed) {
            if constexpr (Prose) {
                const std::uint8_t next = p[2];
                if (p[0] == SoftBreak && next > Space && !IsSpaceCode(next) && forms[next].inRun) {
                    *o++ = ' ';
                    p += 2;
                    lineEnds.taken = true;
                    continue;
                }
            }
            // With an empty line before the next paragraph too, as prose parts its paragraphs.
            const bool emptyLine = p[2] == HardBreak && p[3] == LineFeed;
            const std::uint8_t next = p[emptyLine ? 4 : 2];
            if (p[0] == HardBreak && next >= Space && forms[next].inRun) {
                const int skip = o == lineEnds.paragraphAt ? 0 : LineBreakSize;
                std::memcpy(o, ParagraphEnds + skip, EmptyEndSize);
                o += EmptyEndSize - skip;
                if (emptyLine) {
                    std::memcpy(o, ParagraphEnds, EmptyEndSize);
                    o += EmptyEndSize;
                }
                lineEnds.paragraphAt = o;
                p += emptyLine ? 4 : 2;
                lineEnds.taken = true;
                continue;
            }
        }
        return o;
    }
    for (; p < stop; ++p) {
        const HtmlExporter::RunForm& form = forms[*p];
        if (!form.inRun) break;
        std::memcpy(o, form.bytes, sizeof form.bytes);
        o += form.length;
    }
    return o;
}
