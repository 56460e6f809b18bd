#include "HostInfo.h"

#include <cstring>

namespace pondel {
namespace {

// What a field of N characters keeps of a text.
template <std::size_t N>
std::string_view FieldView(std::string_view text) noexcept
{
    text = text.substr(0, text.find('\0'));
    return text.substr(0, text.size() < N - 1 ? text.size() : N - 1);
}

template <std::size_t N>
std::string_view FieldView(const char (&field)[N]) noexcept
{
    return {field, ::strnlen(field, N)};
}

} // namespace

tHostInfo MakeHostInfo(std::string_view hostName, std::string_view comment, std::string_view ipAddr,
    std::string_view netMask, std::string_view macAddr)
{
    tHostInfo host;
    SetField(host.hostName, hostName);
    SetField(host.comment, comment);
    SetField(host.ipAddr, ipAddr);
    SetField(host.netMask, netMask);
    SetField(host.macAddr, macAddr);
    return host;
}

HostFieldViews FieldViews(std::string_view hostName, std::string_view comment,
    std::string_view ipAddr, std::string_view netMask, std::string_view macAddr) noexcept
{
    return {FieldView<sizeof(tHostInfo::hostName)>(hostName),
        FieldView<sizeof(tHostInfo::comment)>(comment),
        FieldView<sizeof(tHostInfo::ipAddr)>(ipAddr),
        FieldView<sizeof(tHostInfo::netMask)>(netMask),
        FieldView<sizeof(tHostInfo::macAddr)>(macAddr)};
}

HostFieldViews FieldViews(const tHostInfo& host) noexcept
{
    return {FieldView(host.hostName), FieldView(host.comment), FieldView(host.ipAddr),
        FieldView(host.netMask), FieldView(host.macAddr)};
}

tHostInfo MakeHostInfo(const HostFieldViews& fields)
{
    return MakeHostInfo(
        fields.hostName, fields.comment, fields.ipAddr, fields.netMask, fields.macAddr);
}

void FillEmptyHostInfo(tHostInfo& record, const HostFieldViews& fields) noexcept
{
    fields.hostName.copy(record.hostName, sizeof record.hostName - 1);
    fields.comment.copy(record.comment, sizeof record.comment - 1);
    fields.ipAddr.copy(record.ipAddr, sizeof record.ipAddr - 1);
    fields.netMask.copy(record.netMask, sizeof record.netMask - 1);
    fields.macAddr.copy(record.macAddr, sizeof record.macAddr - 1);
}

} // namespace pondel
