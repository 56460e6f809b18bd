#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pondel {

// Six bytes, the first transmitted byte first.
using MacAddress = std::array<std::uint8_t, 6>;

// Reads six hexadecimal byte pairs with any separators between them.
// Returns 0 and fills mac when the text holds exactly six pairs, -1 otherwise
// (mac then holds whatever pairs were read, never more than six).
[[nodiscard]] int ParseMacAddress(std::string_view text, MacAddress& mac);

// The canonical form: six upper-case pairs joined by colons.
[[nodiscard]] std::string FormatMacAddress(const MacAddress& mac);

} // namespace pondel
