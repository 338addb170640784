// What an interrupted converter leaves behind on Windows: nothing. Ctrl+C, Ctrl+Break and the
// closing of the console run a handler on a thread of its own, which removes the temporary
// file of every output under way before the process ends.
#include <windows.h>

#include <mutex>
#include <set>
#include <string>

#include "files/file_access.h"
#include "files/handles_win32.h"

namespace brevikon {

namespace {

// The console handler finds the live names here; a process has one console, so one table.
struct TemporaryFiles {
    std::mutex mutex;
    std::set<std::wstring> names;
    bool interrupted = false;
};

TemporaryFiles& LiveTemporaries() {
    static TemporaryFiles files;
    return files;
}

BOOL WINAPI RemoveTemporariesOnInterrupt(DWORD) {
    TemporaryFiles& files = LiveTemporaries();
    const std::lock_guard<std::mutex> lock(files.mutex);
    files.interrupted = true;
    for (const std::wstring& name : files.names)
        ::DeleteFileW(name.c_str());
    return FALSE;  // and then the default: the process ends
}

}  // namespace

namespace win32 {

HANDLE CreateTemporary(const std::wstring& name) {
    TemporaryFiles& files = LiveTemporaries();
    const std::lock_guard<std::mutex> lock(files.mutex);
    if (files.interrupted) {
        ::SetLastError(ERROR_OPERATION_ABORTED);
        return INVALID_HANDLE_VALUE;
    }
    // Shared for deletion, so that the handler can remove it while a worker still writes.
    // CREATE_NEW also fails on a link of that name, so nothing is written through one.
    const HANDLE handle =
        ::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle != INVALID_HANDLE_VALUE) files.names.insert(name);
    return handle;
}

void ForgetTemporary(const std::wstring& name) {
    TemporaryFiles& files = LiveTemporaries();
    const std::lock_guard<std::mutex> lock(files.mutex);
    files.names.erase(name);
}

}  // namespace win32

void PrepareProcessForFiles() {
    ::SetConsoleCtrlHandler(RemoveTemporariesOnInterrupt, TRUE);
}

}  // namespace brevikon
