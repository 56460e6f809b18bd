#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pondel {

// Addresses are host-order 32-bit values for arithmetic and dotted-decimal
// text everywhere else.

// The dotted-decimal text of a host-order address.
[[nodiscard]] std::string IpToText(std::uint32_t address);

// Converts text by the rules of the system's inet_addr (which also accepts
// the short and octal or hexadecimal forms) and returns the host-order value.
// Text it rejects, the empty text included, gives 255.255.255.255.
[[nodiscard]] std::uint32_t TextToIp(std::string_view text);

inline constexpr std::uint32_t kInvalidIp = 0xFFFFFFFFu;

} // namespace pondel
