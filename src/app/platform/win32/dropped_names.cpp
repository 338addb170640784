#include "app/platform/win32/dropped_names.h"

#include "app/platform/win32/wide_text.h"

namespace brevikon {

std::u16string JoinDroppedNames(HDROP drop) {
    std::u16string names;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        // Asked for its length first: a dropped name may be longer than MAX_PATH.
        const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        std::wstring name(length + 1, L'\0');
        const UINT copied = ::DragQueryFileW(drop, i, name.data(), length + 1);
        name.resize(copied);
        if (i > 0) names += u'\n';
        names += Utf16(name);
    }
    return names;
}

}  // namespace brevikon
