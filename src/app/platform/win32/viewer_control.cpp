#include "app/platform/win32/viewer_control.h"

#include <richedit.h>

namespace brevikon {

namespace {

HMODULE LoadSystemLibrary(const wchar_t* name) {
    // From the system folder only, never from the current or the program's folder.
    HMODULE module = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Windows 7 without its loader update does not know the flag.
    if (module == nullptr && ::GetLastError() == ERROR_INVALID_PARAMETER) {
        module = ::LoadLibraryW(name);
    }
    return module;
}

}  // namespace

RichEditLibrary LoadRichEditLibrary() {
    if (HMODULE module = LoadSystemLibrary(L"Msftedit.dll")) return {module, L"RICHEDIT50W"};
    if (HMODULE module = LoadSystemLibrary(L"riched20.dll")) return {module, L"RichEdit20W"};
    return {};
}

HWND CreateViewerWindow(const RichEditLibrary& library, HWND parent, RECT bounds) {
    if (library.module == nullptr || library.windowClass == nullptr) return nullptr;
    return ::CreateWindowExW(ViewerExStyle, library.windowClass, L"", ViewerStyle, bounds.left,
                             bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                             parent, nullptr, ::GetModuleHandleW(nullptr), nullptr);
}

bool LoadViewerRtf(HWND viewer, const char* rtf) {
    // The record lives for the one call only, from the process heap.
    auto* record = static_cast<SETTEXTEX*>(::HeapAlloc(::GetProcessHeap(), 0, sizeof(SETTEXTEX)));
    if (record == nullptr) return false;
    record->flags = ST_DEFAULT;
    record->codepage = CP_ACP;
    const LRESULT result = ::SendMessageW(viewer, EM_SETTEXTEX, reinterpret_cast<WPARAM>(record),
                                          reinterpret_cast<LPARAM>(rtf));
    ::HeapFree(::GetProcessHeap(), 0, record);
    return result != 0;
}

}  // namespace brevikon
