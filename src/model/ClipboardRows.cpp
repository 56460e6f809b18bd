#include "ClipboardRows.h"

#include <algorithm>
#include <optional>

#include "Ipv4Text.h"
#include "MacAddress.h"

namespace pondel {
namespace {

template <std::size_t N>
constexpr std::size_t FieldLimit(const char (&)[N])
{
    return N - 1;
}

// The text up to the next comma of the current line, which must be followed
// by at least one more character; the position moves past the comma.
std::optional<std::string_view> TakeCommaField(std::string_view text, std::size_t& position)
{
    const std::size_t comma = text.find_first_of(",\n", position);
    if (comma == std::string_view::npos || text[comma] != ',')
        return std::nullopt;
    const std::string_view field = text.substr(position, comma - position);
    position = comma + 1;
    return field;
}

bool IsAddressOrEmpty(std::string_view field)
{
    return field.empty() || TextToIp(field) != kInvalidIp;
}

} // namespace

std::string FormatClipboardRows(std::span<const tHostInfo> hosts)
{
    std::string text;
    for (const tHostInfo& host : hosts) {
        if (!text.empty())
            text += '\n';
        text += host.hostName;
        for (const char* field : {host.comment, host.ipAddr, host.netMask, host.macAddr}) {
            text += ',';
            text += field;
        }
    }
    return text;
}

ClipboardPaste ParseClipboardRows(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    ClipboardPaste paste;
    tHostInfo record{};
    std::size_t position = 0;
    while (position < text.size()) {
        const auto name = TakeCommaField(text, position);
        const auto comment = name && position < text.size() ? TakeCommaField(text, position) : std::nullopt;
        const auto ip = comment && position < text.size() ? TakeCommaField(text, position) : std::nullopt;
        const auto mask = ip && position < text.size() ? TakeCommaField(text, position) : std::nullopt;
        if (!mask || name->size() > FieldLimit(record.hostName) ||
            comment->size() > FieldLimit(record.comment) || ip->size() > FieldLimit(record.ipAddr) ||
            mask->size() > FieldLimit(record.netMask) || !IsAddressOrEmpty(*ip) ||
            !IsAddressOrEmpty(*mask)) {
            paste.formatError = true;
            break;
        }
        const std::size_t lineEnd = std::min(text.find('\n', position), text.size());
        const std::string_view mac = text.substr(position, lineEnd - position);
        MacAddress parsed{};
        const bool emptyAtTheEnd = mac.empty() && lineEnd == text.size();
        if (mac.size() > FieldLimit(record.macAddr) ||
            (!emptyAtTheEnd && ParseMacAddress(mac, parsed) != 0)) {
            paste.formatError = true;
            break;
        }
        paste.hosts.push_back(MakeHostInfo(*name, *comment, *ip, *mask, mac));
        position = lineEnd + 1;
    }
    return paste;
}

} // namespace pondel
