#include "Prefault.h"

#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

namespace pondel {

void PrefaultPages(void* block, std::size_t bytes) noexcept
{
    const auto pageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t first = (begin + pageSize - 1) & ~(pageSize - 1);
    const std::uintptr_t last = (begin + bytes) & ~(pageSize - 1);
    if (block == nullptr || last <= first)
        return;
    // Linux 5.14 and later; older kernels refuse it and nothing changes.
    static_cast<void>(::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE));
}

} // namespace pondel
