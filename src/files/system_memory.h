#pragma once
// How much memory this process may use, for budgets that scale with it.
#include <cstdint>

namespace brevikon {

// Bytes of physical memory, or the limit on the process's address space where that is
// less; 0 when the system does not say.
std::uint64_t AvailableMemory();

}  // namespace brevikon
