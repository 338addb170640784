// The text form's run over blocks of Blocks::Size bytes. No include guard and no includes:
// each build of the run includes it inside an unnamed namespace after everything it uses,
// so that the loop takes that build's instruction set and no definition is shared between
// builds. Needs format/text_codes.h, format/text_runs.h and text_export/convert_to_text.h.
//
// Blocks gives Size, Whole (a mask of Size bits), Classify(p) as ClassifyRunBlock does for
// sixteen bytes (tabs not needed), and Store(p, out) as StoreSingleBytes does.

// Writes the forms of count bytes that all stay in the run; returns the end of the output.
template <int Count>
inline char* WriteRunBytes(const std::uint8_t* p, int count, const TextExporter::ByteForm* forms,
                           char* o, Opened& opened) {
#pragma GCC unroll 16
    for (int n = 0; n < (Count ? Count : count); ++n) {
        Opened word;
        std::memcpy(&word, &forms[p[n]], sizeof word);
        const auto bytes = static_cast<std::uint32_t>(word);
        std::memcpy(o, &bytes, sizeof bytes);
        o += (word >> 32) & 0xFF;
        opened |= word;
    }
    return o;
}

// The forms of a few bytes of a block over its single bytes (WriteMixedBlock), with the
// paragraph they open: any single byte opens one, a form by its flag. Unless every block is to
// take the same steps, a block of single bytes alone is only stored.
template <typename Blocks, bool SameSteps>
inline char* WriteMixedTextBytes(const std::uint8_t* p, int count, std::uint32_t single,
                                 const TextExporter::ByteForm* forms, char* o, Opened& opened) {
    const auto range = static_cast<std::uint32_t>((std::uint64_t{1} << count) - 1);
    opened |= (single & range) ? OpensParagraphBit : 0;
    Blocks::Store(p, o);
    if (!SameSteps && !(~single & range)) return o + count;
    return WriteMixedBlockOf<Blocks::Size>(
        p, count, ~single & range, forms, o,
        [forms, &opened](const std::uint8_t* from, int rest, char* to) {
            return WriteRunBytes<0>(from, rest, forms, to, opened);
        },
        [&opened](const TextExporter::ByteForm& form, std::uint32_t there) {
            Opened word;
            std::memcpy(&word, &form, sizeof word);
            opened |= word & (Opened{0} - there);
        },
        [](const std::uint8_t* from, char* to) { Blocks::Store(from, to); });
}

// Takes the code at run.in that changes the state, where that needs no look back: a complete
// escape, a hard break, a soft break with what it drops. False leaves the code to the case
// analysis (page break, end of text, an incomplete escape, a soft break still pending at end).
[[gnu::always_inline]] inline bool TakeStateCode(const TextRunForms& forms, const std::uint8_t* end,
                                                 const std::uint8_t* imageEnd, TextRun& run,
                                                 Opened& opened) {
    const std::uint8_t* in = run.in;
    const std::uint8_t v = *in;
    if (v == Escape && imageEnd - in > 3 && in[1] == EscapeLetter) {
        // Escapes come in words: the rest of this one is taken here too, as far as the run goes.
        do {
            run.out = WriteRunBytes<1>(in + 3, 1, forms.escaped, run.out, opened);
            in += AttributeEscapeLength;
        } while (in < end && imageEnd - in > 3 && in[0] == Escape && in[1] == EscapeLetter);
        run.in = in;
        return true;
    }
    if (v == HardBreak) {
        *run.out++ = TextParagraphEnd;
        ++in;
        if (in < imageEnd && *in == LineFeed) ++in;
        run.in = in;
        run.paragraphOpen = false;
        opened = 0;
        return true;
    }
    if (v != SoftBreak) return false;
    // One blank; then line feeds and spaces vanish and tabs are written until a character,
    // or an escape, complete or not, ends the pending break.
    *run.out++ = ' ';
    opened = OpensParagraphBit;
    for (++in; in < end; ++in) {
        if (*in == Tab) {
            *run.out++ = '\t';
        } else if (*in != LineFeed && !IsSpaceCode(*in)) {
            break;
        }
    }
    run.in = in;
    run.softBreakPending = in >= end || (ChangesTextState(*in) && *in != Escape);
    return !run.softBreakPending;
}

// Writes the stream from `in` on as the case analysis would, as far as TakeStateCode can
// take the codes that change the state: the bytes between them a block at a time, tested
// for those codes at once (printable ASCII copied as it stands). Like a step of the case
// analysis, a code may read past end to complete itself.
template <typename Blocks, bool Prose>
TextRun WriteTextRun(const TextRunForms& given, const std::uint8_t* in, const std::uint8_t* end,
                     const std::uint8_t* imageEnd, char* out, bool paragraphOpen) {
    // A copy: the stores through out could change what a reference points to, so its fields
    // would be read again after each of them.
    const TextRunForms forms = given;
    TextRun run{in, out, paragraphOpen};
    Opened opened = 0;  // by a form written since the run began or its last paragraph ended
    const auto finish = [&run, &opened] {
        run.paragraphOpen = run.paragraphOpen || (opened & OpensParagraphBit);
        return run;
    };
    constexpr int Size = Blocks::Size;
    while (run.in < end) {
        if (end - run.in < Size) {
            while (run.in < end && forms.plain[*run.in].inPlainRun)
                run.out = WriteRunBytes<1>(run.in++, 1, forms.plain, run.out, opened);
            if (run.in >= end || !TakeStateCode(forms, end, imageEnd, run, opened)) break;
            continue;
        }
        const std::uint8_t* const block = run.in;
        const RunBlockClasses classes = Blocks::Classify(block);
        // Bytes written as one byte: stored as they stand, what lies beyond overwritten.
        const std::uint32_t single =
            forms.literalAscii ? classes.printable | (forms.spacesAsBlanks ? classes.spaces : 0)
                               : 0;
        // Outside prose a block with forms is rare enough for the table.
        const bool mixed = Prose && forms.literalAscii && end - block >= 2 * Size;
        if (!Prose && classes.printable == Blocks::Whole && forms.literalAscii) {
            std::memcpy(run.out, block, Size);
            run.out += Size;
            run.in += Size;
            opened = OpensParagraphBit;
            continue;
        }
        if (!classes.stops) {
            run.out = mixed ? WriteMixedTextBytes<Blocks, true>(block, Size, single, forms.plain,
                                                                run.out, opened)
                            : WriteRunBytes<Size>(block, Size, forms.plain, run.out, opened);
            run.in += Size;
            continue;
        }
        // Each code of the block that changes the state, and the bytes before it.
        for (std::uint32_t stops = classes.stops; stops;) {
            const std::uint8_t* const stop = block + std::countr_zero(stops);
            const auto count = static_cast<int>(stop - run.in);
            if (forms.literalAscii && end - run.in >= Size &&
                AllPrintable(classes, static_cast<int>(run.in - block), count)) {
                std::memcpy(run.out, run.in, Size);  // what lies beyond is overwritten
                run.out += count;
                opened |= count ? OpensParagraphBit : 0;
            } else if (Prose && forms.literalAscii && end - run.in >= 2 * Size) {
                run.out = WriteMixedTextBytes<Blocks, false>(
                    run.in, count, single >> (run.in - block), forms.plain, run.out, opened);
            } else {
                run.out = WriteRunBytes<0>(run.in, count, forms.plain, run.out, opened);
            }
            run.in = stop;
            if (!TakeStateCode(forms, end, imageEnd, run, opened)) return finish();
            const auto taken = run.in - block;  // an escape's own bytes are no stops
            stops = taken < Size ? stops & (Blocks::Whole << taken) : 0;
        }
    }
    return finish();
}
