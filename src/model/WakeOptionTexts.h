#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace pondel {

// The texts of the wake-up options as the user writes them: the extra ports
// of the settings and the interface and SecureOn password of a host.

// The ports of a list such as "9,4000" (commas or blanks between them),
// each 1 to 65535, in the order written; an empty or blank text is an
// empty list. None when anything else is written.
[[nodiscard]] std::optional<std::vector<std::uint16_t>> ParseWakePorts(std::string_view text);

// Whether a text can name a network interface: 1 to 15 bytes, none of them
// a blank, a control character, '/' or ':', and neither "." nor "..".
[[nodiscard]] bool IsValidInterfaceName(std::string_view text) noexcept;

} // namespace pondel
