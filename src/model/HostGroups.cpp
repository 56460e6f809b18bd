#include "HostGroups.h"

#include <algorithm>

#include "AsciiText.h"

namespace pondel {
namespace {

// Whether the bytes are well-formed UTF-8: each lead byte followed by the
// continuation bytes it announces, no more and no fewer.
bool IsUtf8(std::string_view text) noexcept
{
    std::size_t pending = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (pending > 0) {
            if ((byte & 0xC0U) != 0x80U)
                return false;
            --pending;
        } else if (byte >= 0xF0U && byte <= 0xF4U) {
            pending = 3;
        } else if (byte >= 0xE0U) {
            pending = 2;
        } else if (byte >= 0xC2U && byte < 0xE0U) {
            pending = 1;
        } else if (byte >= 0x80U) {
            return false;
        }
    }
    return pending == 0;
}

} // namespace

bool IsValidGroupName(std::string_view name) noexcept
{
    if (name.empty())
        return true;
    if (name.size() > kGroupNameBytes || name == kAllGroups || !IsUtf8(name))
        return false;
    if (name.front() == ' ' || name.back() == ' ')
        return false;
    return std::ranges::none_of(
        name, [](char c) { return static_cast<unsigned char>(c) < 0x20U || c == 0x7F; });
}

std::vector<std::string> GroupNamesOf(const HostList& hosts)
{
    std::vector<std::string> names;
    for (const tHostInfo& host : hosts) {
        const std::string_view group = FieldText(host.group);
        const auto same = [group](const std::string& name) {
            return EqualIgnoringAsciiCase(name, group);
        };
        if (!group.empty() && std::ranges::none_of(names, same))
            names.emplace_back(group);
    }
    std::ranges::sort(names, [](const std::string& a, const std::string& b) {
        return ToLowerAscii(a) < ToLowerAscii(b);
    });
    return names;
}

std::vector<std::int32_t> RowsOfGroup(const HostList& hosts, std::string_view group)
{
    std::vector<std::int32_t> rows;
    std::int32_t row = 0;
    for (const tHostInfo& host : hosts) {
        if (group == kAllGroups || (!group.empty() && EqualIgnoringAsciiCase(host.group, group)))
            rows.push_back(row);
        ++row;
    }
    return rows;
}

} // namespace pondel
