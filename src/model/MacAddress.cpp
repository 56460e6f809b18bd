#include "MacAddress.h"

#include <cstdio>

#include "AsciiText.h"
#include "HexDigit.h"

namespace pondel {

int ParseMacAddress(std::string_view text, MacAddress& mac)
{
    if (text.empty())
        return -1;

    // digitsInPair: 0 waiting for a pair, 1 high nibble stored, 2 pair complete.
    // A lone digit between separators leaves a half byte that the next pair
    // overwrites, which is why "0:11:22:33:44:55:66" reads as 11..66.
    std::size_t byteIndex = 0;
    int digitsInPair = 0;
    for (const char c : CutAtNul(text)) {
        const std::optional<int> digit = HexDigitValue(c);
        if (!digit) {
            digitsInPair = 0;
            continue;
        }
        if (digitsInPair == 2)
            digitsInPair = 0;
        if (digitsInPair == 0) {
            if (byteIndex < mac.size())
                mac[byteIndex] = static_cast<std::uint8_t>(*digit << 4);
            digitsInPair = 1;
        } else {
            if (byteIndex >= mac.size())
                return -1; // a seventh complete pair
            mac[byteIndex] = static_cast<std::uint8_t>(mac[byteIndex] | *digit);
            ++byteIndex;
            digitsInPair = 2;
        }
    }
    return byteIndex == mac.size() ? 0 : -1;
}

std::string FormatMacAddress(const MacAddress& mac)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02X:%02X:%02X:%02X:%02X:%02X", mac[0], mac[1], mac[2],
        mac[3], mac[4], mac[5]);
    return text;
}

std::optional<std::string> StoredMacText(std::string_view text)
{
    if (IsBlankText(text))
        return std::string();
    MacAddress mac{};
    if (ParseMacAddress(text, mac) != 0)
        return std::nullopt;
    return FormatMacAddress(mac);
}

bool IsBlankText(std::string_view text) noexcept
{
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

} // namespace pondel
