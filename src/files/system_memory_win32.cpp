#include <windows.h>

#include "files/system_memory.h"

namespace brevikon {

std::uint64_t AvailableMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status)) return 0;
    return status.ullTotalPhys;
}

}  // namespace brevikon
