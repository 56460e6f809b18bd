#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace pondel {

// Case folding of the ASCII letters only. Host names, switches and INI names
// are compared this way; the C library's tolower and toupper follow the
// process locale, and under a Turkish one 'I' and 'i' are not each other's
// case, so names that match everywhere else would stop matching there.

[[nodiscard]] constexpr char ToLowerAscii(char c) noexcept
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

[[nodiscard]] constexpr char ToUpperAscii(char c) noexcept
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

[[nodiscard]] inline std::string ToLowerAscii(std::string_view text)
{
    std::string lowered(text);
    std::ranges::transform(lowered, lowered.begin(), [](char c) { return ToLowerAscii(c); });
    return lowered;
}

[[nodiscard]] constexpr bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    // Equal bytes, the usual case, need no folding.
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && ToLowerAscii(a[i]) != ToLowerAscii(b[i]))
            return false;
    }
    return true;
}

// The text up to its first NUL byte, as a C string holding it would read.
[[nodiscard]] constexpr std::string_view CutAtNul(std::string_view text) noexcept
{
    return text.substr(0, text.find('\0'));
}

} // namespace pondel
