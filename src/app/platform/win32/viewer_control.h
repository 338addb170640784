#pragma once
// The viewer: a read-only rich-edit control from one of the system's two rich-edit libraries.
#include <windows.h>

namespace brevikon {

struct RichEditLibrary {
    HMODULE module = nullptr;
    const wchar_t* windowClass = nullptr;
};

// Msftedit.dll with "RICHEDIT50W", or else riched20.dll with "RichEdit20W"; an empty result
// when neither loads. Both come from the system folder only.
RichEditLibrary LoadRichEditLibrary();

// WS_CHILD, WS_VISIBLE, WS_VSCROLL, ES_NOHIDESEL, ES_MULTILINE, ES_AUTOVSCROLL: lines wrap at
// the control's width, and the selection stays visible without the focus.
constexpr DWORD ViewerStyle = 0x50200144;
constexpr DWORD ViewerExStyle = WS_EX_CLIENTEDGE;

// The control as a child of `parent` with id 0 and an empty text. nullptr on failure.
HWND CreateViewerWindow(const RichEditLibrary& library, HWND parent, RECT bounds);

// Replaces the whole content with the zero-terminated 8-bit RTF, read in place, and drops
// the undo history. False when the control refused it.
bool LoadViewerRtf(HWND viewer, const char* rtf);

}  // namespace brevikon
