#include "files/record_file.h"

#include "files/handles_win32.h"

namespace brevikon {

RecordFile::~RecordFile() {
    if (handle_ != None) ::CloseHandle(handle_);
}

bool RecordFile::Create(const NativeString& path, int& systemError) {
    // CREATE_NEW: an existing name, a link included, is never opened. Readers may look while
    // the run goes; nobody may delete or rename it under the run.
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        systemError = win32::LastError();
        return false;
    }
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        // A device name (NUL, CON) opens as that device: nothing is kept there.
        ::CloseHandle(handle);
        systemError = ERROR_BAD_FILE_TYPE;
        return false;
    }
    handle_ = handle;
    systemError = 0;
    return true;
}

bool RecordFile::Append(std::string_view bytes, int& systemError) {
    while (!bytes.empty()) {
        const DWORD chunk =
            bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!::WriteFile(handle_, bytes.data(), chunk, &written, nullptr) || written == 0) {
            systemError = win32::LastError();
            if (systemError == 0) systemError = ERROR_DISK_FULL;
            return false;
        }
        bytes.remove_prefix(written);
    }
    systemError = 0;
    return true;
}

std::optional<FileIdentity> RecordFile::identity() const {
    win32::Opened opened;
    int error = 0;
    if (handle_ == None || !win32::Examine(handle_, opened, error)) return std::nullopt;
    return opened.identity;
}

}  // namespace brevikon
