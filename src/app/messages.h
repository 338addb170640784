#pragma once
// The two kinds of message box under the window title.
#include <string>
#include <string_view>

#include "app/platform/platform.h"
#include "document/message_texts.h"

namespace brevikon {

// A notice under the window title, with the information icon.
inline void ShowNotice(Platform& platform, std::u16string_view text) {
    platform.ShowMessage(text, ProgramTitle, MessageIcon::Information);
}

// A failure under the window title, with the error icon.
inline void ShowFailure(Platform& platform, std::u16string_view text) {
    platform.ShowMessage(text, ProgramTitle, MessageIcon::Error);
}

// A failure about one file: the message, then the path on a line of its own.
inline void ShowFileFailure(Platform& platform, std::u16string_view text,
                            std::u16string_view path) {
    std::u16string message(text);
    message += u'\n';
    message += path;
    ShowFailure(platform, message);
}

}  // namespace brevikon
