#pragma once

#include <optional>

namespace pondel {

// The value of one hexadecimal digit in either case; none for any other
// character.
[[nodiscard]] constexpr std::optional<int> HexDigitValue(char c) noexcept
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return std::nullopt;
}

} // namespace pondel
