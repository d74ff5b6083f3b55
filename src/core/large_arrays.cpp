#include "core/large_arrays.h"

#include <cstdint>

#include <sys/mman.h>

namespace tess {

void adviseHugePages(const void* data, size_t bytes) {
    constexpr uintptr_t huge = uintptr_t{2} << 20;
    const uintptr_t first = (reinterpret_cast<uintptr_t>(data) + huge - 1) & ~(huge - 1);
    const uintptr_t last = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(huge - 1);
    if (last <= first)
        return;
#ifdef MADV_HUGEPAGE
    ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

} // namespace tess
