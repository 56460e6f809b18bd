#include "LargePages.h"

#include <cstdint>

#include <sys/mman.h>

namespace pondel {

void AdviseLargePages(void* block, std::size_t bytes) noexcept
{
    // Transparent huge pages on x86-64 and most other systems; only whole
    // pages inside the block can be asked for.
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t first = (begin + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kLargePage - 1);
    if (block == nullptr || last <= first)
        return;
    // Where the system has them only on request; an error leaves small pages.
    static_cast<void>(::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE));
}

} // namespace pondel
