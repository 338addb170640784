#include "format/wide_blocks.h"

namespace brevikon {

bool WideBlocksAvailable() {
#if defined(BREVIKON_WIDE_BLOCKS)
    // Also asks whether the system saves the wide registers (libgcc checks XGETBV).
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

}  // namespace brevikon
