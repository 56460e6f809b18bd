#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "AppSettings.h"

namespace pondel {

// Reads a signed number as the C library's atoi reads it: leading white
// space, an optional sign, then as many decimal digits as follow; no digits
// gives 0. Where atoi's result is undefined, beyond the 32-bit range, the
// result is pinned to INT32_MAX or INT32_MIN, as the Windows C library
// documents for its atoi.
[[nodiscard]] std::int32_t AtoiValue(std::string_view text) noexcept;

// Reads an unsigned setting as atoi did, the result taken as unsigned: "-1"
// is 4294967295. Positive numbers beyond INT32_MAX, which atoi would pin
// there, read as they are up to UINT32_MAX and are pinned at UINT32_MAX
// beyond, so that every value written as "%u" reads back unchanged.
[[nodiscard]] std::uint32_t AtoiUnsignedValue(std::string_view text) noexcept;

// The settings file's colour form: "#" and red, green and blue as two
// upper-case hexadecimal digits each.
[[nodiscard]] std::string FormatColor(ColorValue color);

// Reads a colour as sscanf with "#%02X%02X%02X" does: each pair is one or
// two hexadecimal digits, white space may come before a pair, and anything
// after the third pair is ignored. None unless all three pairs convert.
[[nodiscard]] std::optional<ColorValue> ParseColor(std::string_view text) noexcept;

// A value as the settings file must hold it to read back unchanged. Reading
// trims blanks and drops one pair of surrounding quotes, so a value that
// starts or ends with a blank, or sits in quotes itself, is written in one
// more pair of quotes, kept in `quoted`; every other value is written as it
// is. The value first ends at a line break, which no line can hold.
[[nodiscard]] std::string_view StoredValue(std::string_view value, std::string& quoted);
[[nodiscard]] std::string StoredValue(std::string_view value);

} // namespace pondel
