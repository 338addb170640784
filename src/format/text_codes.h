#pragma once
// Reading the text stream code by code, as every form of the text (RTF, plain text, HTML)
// reads it: which code ends a paragraph, when spaces vanish after a soft break, which
// attributes a space carries. What each step writes is the writer's; a writer has
//
//   void WriteHardBreak();                  a paragraph ends, an empty one too
//   void WriteSoftBreak();                  one blank
//   void WritePageBreak();                  ends the open paragraph, if any, and opens none
//   void WriteTab();
//   void WriteSpace(std::uint8_t carried);  a space that is not dropped, with the carried
//   attributes void WriteCharacter(std::uint8_t code, std::uint8_t attributes);  0: a plain
//   character
//
// Readers may take runs of bytes that do not change the state themselves between steps.
#include <cstdint>

#include "format/document_format.h"

namespace brevikon {

struct TextCodeState {
    std::int64_t position = 0;  // the next byte to read
    bool softBreakPending = false;
    std::uint8_t lastEscapeAttribute = 0;
};

// Whether every reading of the stream, whatever came before, takes a step at position p:
// none of the three bytes before it is an Escape (offsets before 0 count as none), so no
// attribute escape that began earlier reaches it.
inline bool EveryReadingStepsAt(const std::uint8_t* image, std::int64_t p) {
    for (std::int64_t q = p > 3 ? p - 3 : 0; q < p; ++q) {
        if (image[q] == Escape) return false;
    }
    return true;
}

// Closing a paragraph ends a pending soft break and the escape a space could carry. (Where a
// page break closes none, neither can be set.)
inline void ClearAfterParagraph(TextCodeState& state) {
    state.softBreakPending = false;
    state.lastEscapeAttribute = 0;
}

// One step at state.position (< length); false at the end-of-text marker, which is not passed.
template <class Writer>
inline bool ReadOneTextCode(const std::uint8_t* image, std::int64_t length, TextCodeState& state,
                            Writer& writer) {
    const std::uint8_t v = image[state.position];
    switch (v) {
        case EndOfText:
            return false;
        case HardBreak:
            ++state.position;
            if (state.position < length && image[state.position] == LineFeed) ++state.position;
            writer.WriteHardBreak();
            ClearAfterParagraph(state);
            return true;
        case SoftBreak:
            ++state.position;
            writer.WriteSoftBreak();
            state.lastEscapeAttribute = 0;
            state.softBreakPending = true;
            return true;
        case LineFeed:
            ++state.position;
            return true;
        case PageBreak:
            ++state.position;
            writer.WritePageBreak();
            ClearAfterParagraph(state);
            return true;
        case Tab:  // a pending soft break stays pending
            ++state.position;
            writer.WriteTab();
            state.lastEscapeAttribute = 0;
            return true;
        case SoftSpace:
        case Space:
        case AltSpace:
            ++state.position;
            if (!state.softBreakPending) {
                writer.WriteSpace(CarriedSpaceAttributes(image, length, state.position,
                                                         state.lastEscapeAttribute));
            }
            return true;
        default:
            state.softBreakPending = false;
            if (v == Escape && state.position + 3 < length &&
                image[state.position + 1] == EscapeLetter) {
                const std::uint8_t attribute = image[state.position + 2];
                const std::uint8_t character = image[state.position + 3];
                state.position += AttributeEscapeLength;
                writer.WriteCharacter(character, attribute);
                state.lastEscapeAttribute = attribute;
                return true;
            }
            ++state.position;
            if (v < Space) return true;  // unknown control code, or a 27 without a complete escape
            writer.WriteCharacter(v, 0);
            state.lastEscapeAttribute = 0;
            return true;
    }
}

}  // namespace brevikon
