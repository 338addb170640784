#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

#include "files/system_memory.h"

namespace brevikon {

std::uint64_t AvailableMemory() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return 0;
    std::uint64_t memory = static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
    struct rlimit limit;
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        memory = std::min<std::uint64_t>(memory, limit.rlim_cur);
    }
    return memory;
}

}  // namespace brevikon
