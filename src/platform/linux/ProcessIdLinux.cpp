#include "ProcessId.h"

#include <unistd.h>

namespace pondel {

std::uint32_t CurrentProcessId() noexcept
{
    return static_cast<std::uint32_t>(getpid());
}

} // namespace pondel
