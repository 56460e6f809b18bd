#include "MemoryHints.h"

#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

namespace pondel {
namespace {

// Transparent huge pages on x86-64 and most other systems, where the system
// has them only on request.
constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;

// Gives the advice for the whole pages of pageSize inside the block; an
// error leaves the memory as it was.
void AdviseWholePages(void* block, std::size_t bytes, std::uintptr_t pageSize, int advice) noexcept
{
    const auto begin = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t first = (begin + pageSize - 1) & ~(pageSize - 1);
    const std::uintptr_t last = (begin + bytes) & ~(pageSize - 1);
    if (block == nullptr || last <= first)
        return;
    static_cast<void>(::madvise(reinterpret_cast<void*>(first), last - first, advice));
}

} // namespace

void AdviseLargePages(void* block, std::size_t bytes) noexcept
{
    AdviseWholePages(block, bytes, kLargePage, MADV_HUGEPAGE);
}

void PrefaultPages(void* block, std::size_t bytes) noexcept
{
    // Linux 5.14 and later; older kernels refuse it.
    AdviseWholePages(
        block, bytes, static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE)), MADV_POPULATE_WRITE);
}

void PrepareToFill(void* block, std::size_t bytes) noexcept
{
    if (bytes >= kLargePage)
        AdviseLargePages(block, bytes);
    else
        PrefaultPages(block, bytes);
}

} // namespace pondel
