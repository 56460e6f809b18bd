#include "SettingsValues.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "HexDigit.h"
#include "LineEnds.h"

namespace pondel {
namespace {

bool IsCSpace(char c) noexcept
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One "%02X" conversion: skips white space, then takes one or two digits.
std::optional<std::uint8_t> NextHexPair(std::string_view& text) noexcept
{
    while (!text.empty() && IsCSpace(text.front()))
        text.remove_prefix(1);
    int value = 0;
    int digits = 0;
    while (digits < 2 && !text.empty()) {
        const auto digit = HexDigitValue(text.front());
        if (!digit)
            break;
        value = value * 16 + *digit;
        ++digits;
        text.remove_prefix(1);
    }
    if (digits == 0)
        return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

struct DecimalText {
    bool negative = false;
    std::uint64_t magnitude = 0; // pinned just above the 32-bit range
};

// The sign and digits atoi looks at.
DecimalText ReadDecimal(std::string_view text) noexcept
{
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i]))
        ++i;
    DecimalText number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number.negative = text[i] == '-';
        ++i;
    }
    constexpr std::uint64_t kCap = std::uint64_t{1} << 33;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        number.magnitude =
            std::min(number.magnitude * 10 + static_cast<std::uint64_t>(text[i] - '0'), kCap);
    return number;
}

} // namespace

std::int32_t AtoiValue(std::string_view text) noexcept
{
    const DecimalText number = ReadDecimal(text);
    constexpr std::uint64_t kMaxMagnitude = std::numeric_limits<std::int32_t>::max();
    if (number.negative)
        return static_cast<std::int32_t>(
            -static_cast<std::int64_t>(std::min(number.magnitude, kMaxMagnitude + 1)));
    return static_cast<std::int32_t>(std::min(number.magnitude, kMaxMagnitude));
}

std::uint32_t AtoiUnsignedValue(std::string_view text) noexcept
{
    const DecimalText number = ReadDecimal(text);
    if (number.negative)
        return static_cast<std::uint32_t>(AtoiValue(text));
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(number.magnitude, std::numeric_limits<std::uint32_t>::max()));
}

std::string FormatColor(ColorValue color)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", color & 0xFFu, (color >> 8) & 0xFFu,
        (color >> 16) & 0xFFu);
    return text;
}

std::optional<ColorValue> ParseColor(std::string_view text) noexcept
{
    if (text.empty() || text.front() != '#')
        return std::nullopt;
    text.remove_prefix(1);
    const auto red = NextHexPair(text);
    if (!red)
        return std::nullopt;
    const auto green = NextHexPair(text);
    if (!green)
        return std::nullopt;
    const auto blue = NextHexPair(text);
    if (!blue)
        return std::nullopt;
    return MakeColor(*red, *green, *blue);
}

std::string_view StoredValue(std::string_view value, std::string& quoted)
{
    value = FirstLineOf(value);
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    const auto isQuote = [](char c) { return c == '"' || c == '\''; };
    const bool needsQuotes = !value.empty() &&
        (isBlank(value.front()) || isBlank(value.back()) ||
            (value.size() >= 2 && value.front() == value.back() && isQuote(value.front())));
    if (!needsQuotes)
        return value;
    quoted.reserve(value.size() + 2);
    quoted.assign(1, '"').append(value).append(1, '"');
    return quoted;
}

std::string StoredValue(std::string_view value)
{
    std::string quoted;
    return std::string(StoredValue(value, quoted));
}

} // namespace pondel
