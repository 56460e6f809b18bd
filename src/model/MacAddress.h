#pragma once

#include <array>
#include <cstdint>
#include <optional>
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

// The text a host record keeps for a MAC address entered by hand, imported
// or pasted: an empty text (or one of blanks only) stays empty, since a host
// may be listed for its status alone; one that parses becomes the canonical
// form. None for any other text, which could never wake the host.
[[nodiscard]] std::optional<std::string> StoredMacText(std::string_view text);

// Whether a text holds nothing but blanks and tabs (or nothing at all).
[[nodiscard]] bool IsBlankText(std::string_view text) noexcept;

} // namespace pondel
