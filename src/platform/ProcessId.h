#pragma once

#include <cstdint>

namespace pondel {

// The running process's identifier, as the system numbers processes.
[[nodiscard]] std::uint32_t CurrentProcessId() noexcept;

} // namespace pondel
