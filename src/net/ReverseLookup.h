#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pondel {

// The official name the system's resolver gives for an IPv4 address (host
// order): its hosts file first, then DNS, as the system is set up. None when
// no name is known. Safe to call from any thread.
[[nodiscard]] std::optional<std::string> ReverseLookupName(std::uint32_t address);

} // namespace pondel
