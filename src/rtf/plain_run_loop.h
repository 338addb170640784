// The plain run's loop, over blocks of Blocks::Size bytes. No include guard and no includes:
// each build of the run includes it inside an unnamed namespace after everything it uses,
// so that the loop takes that build's instruction set and no definition is shared between
// builds. Needs rtf/rtf_runs.h, rtf/plain_run.h and format/text_runs.h.
//
// Blocks gives Size, Whole (a mask of Size bits), Classify(p, out) as ClassifyPlainBlock does
// for its sixteen bytes, and Store(p, out) as StoreSingleBytes does.

// Copies plain bytes straight into the storage while the most one turn of the loop writes
// is free, so no append in the run could have grown the buffer: capacity changes exactly
// as it would byte by byte. A block is judged at once: copied as it stands when each byte
// becomes one byte, else through the table when none changes the text state. Soft and hard
// breaks inside the run are taken here as well, and so are empty paragraphs and the opening
// of the next one, as long as what follows them brings the run's state back.
template <typename Blocks, bool Prose>
inline void PlainRunLoop(PlainRun& run) {
    using namespace ::brevikon::rtf_runs;
    constexpr int Size = Blocks::Size;
    // In plain text a block's forms are few: one turn without a test is enough.
    constexpr int SureWideTurns = Prose ? 2 : 1;
    // The most one turn writes: the forms of a block's bytes, each copied with
    // RtfCharMaxLength bytes, or all but one and a line's end with the next opening. Fewer
    // forms and a paragraph's end, or a blank, take less; an empty paragraph is a turn of its
    // own, and so is the next one's opening unless the whole room is still free after the end.
    constexpr std::int64_t TurnRoom = std::max<std::int64_t>(
        Size * RtfCharMaxLength, (Size - 1) * RtfCharMaxLength + LineEndSize);
    static_assert(TurnRoom >= EscapedTurnRoom, "the run's escapes keep to its room");
    if (!run.storage || run.capacity < TurnRoom) return;
    // Locals, not members: the stores through out may alias anything, so members would be
    // read again after each of them.
    const std::uint8_t* const image = run.image;
    const std::int64_t length = run.length;
    const RtfByteForms& table = *run.forms;
    const ByteForm* const forms = table.plain.data();
    const bool literal = table.literalAscii;
    const char* const opening = run.opening;
    const char* const lineEnd = run.lineEnd;
    const auto rest = [forms](const std::uint8_t* p, int count, unsigned char* o) {
        return WriteForms(p, count, forms, o);
    };
    const auto store = [](const std::uint8_t* p, unsigned char* o) { Blocks::Store(p, o); };
    const auto opens = [forms](std::uint8_t v) {
        return forms[v].inPlainRun && (v >= Space || v == Tab);
    };
    // What ends a soft break's state at once and stays in the run: no line feed, space or tab.
    const auto endsSoftBreak = [forms](std::uint8_t v) {
        return forms[v].inPlainRun && v > Space && !IsSpaceCode(v);
    };
    unsigned char* const storage = run.storage;
    unsigned char* const limit = storage + (run.capacity - TurnRoom);
    unsigned char* out = storage + run.used;
    std::int64_t position = run.position;
    // Blocks are judged while a second one follows (WriteMixedBlock reads that far); the
    // last bytes go through the table one by one.
    const std::int64_t blocksEnd = literal ? length - 2 * Size : -1;
    bool open = true;
    bool softBreakPending = false;
    while (position < length && out <= limit) {
        if (position <= blocksEnd) {
            const std::uint8_t* const block = image + position;
            const PlainBlock classes = Blocks::Classify(block, out);
            if (!classes.stops) {
                if (!Prose && classes.single == Blocks::Whole) {
                    out += Size;
                } else {
                    out = WriteMixedBlockOf<Blocks::Size, SureWideTurns>(
                        block, Size, ~classes.single & Blocks::Whole, forms, out, rest,
                        NoFormSeen{}, store);
                }
                position += Size;
                continue;
            }
            // The bytes before the first stop, then the stop itself.
            const int count = std::countr_zero(classes.stops);
            const std::uint32_t others = ~classes.single & ((1u << count) - 1);
            if (!others) {
                out += count;  // already stored; what lies beyond is overwritten
            } else {
                out = WriteMixedBlockOf<Blocks::Size, SureWideTurns>(
                    block, count, others, forms, out, rest, NoFormSeen{}, store);
            }
            position += count;
            // The usual stops are a line's end followed by a character: in prose a soft break
            // with its line feed, which writes a blank; in plain text a hard break with its
            // line feed, then a byte that opens the next paragraph. Taken here, the blocks go
            // on without a turn through the cases.
            const std::uint8_t* const stop = block + count;
            if constexpr (Prose) {
                if (stop[0] == SoftBreak && stop[1] == LineFeed && endsSoftBreak(stop[2])) {
                    *out++ = ' ';
                    position += 2;
                    continue;
                }
            } else {
                std::memcpy(out, lineEnd, LineEndSize);
                if (stop[0] == HardBreak && stop[1] == LineFeed && opens(stop[2])) {
                    out += LineEndSize;
                    position += 2;
                    continue;
                }
            }
        } else if (const ByteForm& form = forms[image[position]]; form.inPlainRun) {
            std::memcpy(out, form.bytes, RtfCharMaxLength);
            out += form.length;
            ++position;
            continue;
        }
        const std::uint8_t v = image[position];
        if (v == SoftBreak) {
            // The blank of the break; then line feeds and spaces vanish and tabs are
            // written, until a character or control code ends the soft-break state.
            *out++ = ' ';
            ++position;
            while (position < length && out <= limit) {
                const std::uint8_t next = image[position];
                if (next == LineFeed || IsSpaceCode(next)) {
                    ++position;
                } else if (next == Tab) {
                    std::memcpy(out, forms[Tab].bytes, RtfCharMaxLength);
                    out += forms[Tab].length;
                    ++position;
                } else {
                    break;
                }
            }
            if (position >= length || out > limit || !forms[image[position]].inPlainRun) {
                softBreakPending = true;
                break;
            }
        } else if (v == HardBreak) {
            ++position;
            if (position < length && image[position] == LineFeed) ++position;
            std::memcpy(out, ParagraphEnd.data(), ParagraphEnd.size());
            out += ParagraphEnd.size();
            // Then a line feed writes nothing, another hard break an empty paragraph, and
            // what opens a paragraph opens it, most often at once.
            open = false;
            while (out <= limit && position < length) {
                const std::uint8_t next = image[position];
                if (opens(next)) {
                    std::memcpy(out, opening, ParagraphOpeningSize);
                    out += ParagraphOpeningSize;
                    open = true;
                    break;
                }
                if (next == LineFeed) {
                    ++position;
                } else if (next == HardBreak) {
                    position += position + 1 < length && image[position + 1] == LineFeed ? 2 : 1;
                    std::memcpy(out, opening, ParagraphOpeningSize);
                    std::memcpy(out + ParagraphOpeningSize, ParagraphEnd.data(),
                                ParagraphEnd.size());
                    out += ParagraphOpeningSize + ParagraphEnd.size();
                } else {
                    break;
                }
            }
            if (!open) break;
        } else if (v == Escape) {
            // Escapes in the middle of plain text are the common case: taken here, the run
            // goes on after the first character without one.
            std::uint8_t current = 0, lastEscape = 0;
            bool plainFollows = false;
            out = WriteEscapes(image, length, table, position, out, limit, current, lastEscape,
                               plainFollows);
            if (plainFollows) continue;
            run.endedInEscapes = true;
            run.currentAttributes = current;
            run.lastEscapeAttribute = lastEscape;
            break;
        } else {
            break;  // a page break or the end of the text
        }
    }
    run.used = out - storage;
    run.position = position;
    run.softBreakPending = softBreakPending;
    run.open = open;
}
