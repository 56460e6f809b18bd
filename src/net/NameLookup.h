#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace pondel {

// The first IPv4 address (host order) the system's resolver gives for a
// host name; a dotted address is answered with itself. An empty name stands
// for this computer and is answered with GetLocalHostAddress, as the Windows
// resolver answers it with its own address. None when there is no answer.
// Safe to call from any thread.
[[nodiscard]] std::optional<std::uint32_t> LookupHostAddress(std::string_view hostName);

} // namespace pondel
