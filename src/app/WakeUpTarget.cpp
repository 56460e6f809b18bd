#include "WakeUpTarget.h"

#include <algorithm>

#include "AsciiText.h"
#include "Ipv4Text.h"

namespace pondel {
namespace {

constexpr std::size_t kIpTextLength = 15;
constexpr std::size_t kMacTextLength = 17;

std::string Cut(std::string_view text, std::size_t length)
{
    return std::string(text.substr(0, length));
}

// A value switch counts only with a non-empty value.
const std::string* Given(const std::optional<std::string>& value)
{
    return value && !value->empty() ? &*value : nullptr;
}

// The first row whose field, chosen by a projection, matches the text.
template <typename Field>
const tHostInfo* FindRow(const HostList& hosts, std::string_view text, Field field)
{
    const auto row = std::ranges::find_if(
        hosts, [&](const tHostInfo& host) { return EqualIgnoringAsciiCase(field(host), text); });
    return row == hosts.end() ? nullptr : &*row;
}

} // namespace

TargetRowFilter::TargetRowFilter(const CommandLineOptions& options)
{
    if (const std::string* name = Given(options.hostName))
        hostName_ = *name;
    if (const std::string* ip = Given(options.ipAddr))
        ipAddr_ = Cut(*ip, kIpTextLength);
}

bool TargetRowFilter::operator()(std::string_view hostName, std::string_view ipAddr) const noexcept
{
    return (hostName_ && EqualIgnoringAsciiCase(hostName, *hostName_)) ||
        (ipAddr_ && EqualIgnoringAsciiCase(ipAddr, *ipAddr_));
}

std::optional<WakeUpTarget> AssembleWakeUpTarget(
    const CommandLineOptions& options, const HostList& hosts, const LocalNetworkQueries& local)
{
    WakeUpTarget target;
    target.broadcast = options.broadcast;

    if (const std::string* name = Given(options.hostName)) {
        const auto byName = [](const tHostInfo& host) { return host.hostName; };
        if (const tHostInfo* row = FindRow(hosts, *name, byName)) {
            target.ipAddr = Cut(row->ipAddr, kIpTextLength);
            target.netMask = Cut(row->netMask, kIpTextLength);
            target.macAddr = Cut(row->macAddr, kMacTextLength);
        }
    }
    if (const std::string* ip = Given(options.ipAddr)) {
        target.ipAddr = Cut(*ip, kIpTextLength);
        if (target.netMask.empty() || target.macAddr.empty()) {
            const auto byIp = [](const tHostInfo& host) { return host.ipAddr; };
            if (const tHostInfo* row = FindRow(hosts, target.ipAddr, byIp)) {
                target.netMask = Cut(row->netMask, kIpTextLength);
                target.macAddr = Cut(row->macAddr, kMacTextLength);
            }
        }
    }
    if (const std::string* mac = Given(options.macAddr))
        target.macAddr = Cut(*mac, kMacTextLength);

    if (target.macAddr.empty())
        return std::nullopt;
    if (target.ipAddr.empty()) {
        if (!target.broadcast)
            return std::nullopt;
        target.ipAddr = IpToText(local.localHostAddress());
    }
    if (const std::string* mask = Given(options.netMask))
        target.netMask = Cut(*mask, kIpTextLength);
    else if (target.netMask.empty())
        target.netMask = IpToText(local.netMask(TextToIp(target.ipAddr)));
    return target;
}

} // namespace pondel
