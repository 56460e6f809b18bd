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

namespace {

// A row's addresses and wake options, as /H takes them.
void CopyRow(const tHostInfo& row, WakeUpTarget& target)
{
    target.ipAddr = Cut(row.ipAddr, kIpTextLength);
    target.netMask = Cut(row.netMask, kIpTextLength);
    target.macAddr = Cut(row.macAddr, kMacTextLength);
    target.interfaceName = row.interfaceName;
    target.secureOn = row.secureOn;
}

// Fills in what the switches and the list left out: this computer's address
// for a missing one, and the system's netmask for it. None when there is no
// MAC, or no address and no broadcast.
std::optional<WakeUpTarget> CompleteTarget(
    WakeUpTarget target, const std::string* netMask, const LocalNetworkQueries& local)
{
    if (target.macAddr.empty())
        return std::nullopt;
    target.addressGiven = !target.ipAddr.empty();
    if (target.ipAddr.empty()) {
        if (!target.broadcast)
            return std::nullopt;
        // Without an address of its own the packet goes to 0.0.0.0's
        // network, which fails when it is sent and is reported then.
        const Result<std::uint32_t> own = local.localHostAddress();
        target.ipAddr = IpToText(own ? own.Value() : 0);
    }
    if (netMask != nullptr)
        target.netMask = Cut(*netMask, kIpTextLength);
    else if (target.netMask.empty())
        target.netMask = IpToText(local.netMask(TextToIp(target.ipAddr)));
    return target;
}

// The target as the switches and the list give it, before anything is
// filled in; macRow is the row its MAC address was taken from, if any.
WakeUpTarget TargetFromSwitches(
    const CommandLineOptions& options, const HostList& hosts, const tHostInfo*& macRow)
{
    WakeUpTarget target;
    target.broadcast = options.broadcast;
    macRow = nullptr;

    if (const std::string* name = Given(options.hostName)) {
        const auto byName = [](const tHostInfo& host) { return host.hostName; };
        if (const tHostInfo* row = FindRow(hosts, *name, byName)) {
            CopyRow(*row, target);
            macRow = row;
        }
    }
    if (const std::string* ip = Given(options.ipAddr)) {
        target.ipAddr = Cut(*ip, kIpTextLength);
        if (target.netMask.empty() || target.macAddr.empty()) {
            const auto byIp = [](const tHostInfo& host) { return host.ipAddr; };
            if (const tHostInfo* row = FindRow(hosts, target.ipAddr, byIp)) {
                target.netMask = Cut(row->netMask, kIpTextLength);
                target.macAddr = Cut(row->macAddr, kMacTextLength);
                macRow = row;
            }
        }
    }
    if (const std::string* mac = Given(options.macAddr)) {
        target.macAddr = Cut(*mac, kMacTextLength);
        macRow = nullptr;
    }
    return target;
}

} // namespace

std::optional<WakeUpTarget> AssembleWakeUpTarget(
    const CommandLineOptions& options, const HostList& hosts, const LocalNetworkQueries& local)
{
    const tHostInfo* macRow = nullptr;
    return CompleteTarget(
        TargetFromSwitches(options, hosts, macRow), Given(options.netMask), local);
}

std::optional<WakeUpTarget> RowWakeUpTarget(
    const tHostInfo& row, bool broadcast, const LocalNetworkQueries& local)
{
    WakeUpTarget target;
    target.broadcast = broadcast;
    CopyRow(row, target);
    return CompleteTarget(std::move(target), nullptr, local);
}

std::string OneLineText(std::string_view text)
{
    std::string line(text);
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f')
            c = '?';
    }
    return line;
}

std::string WakeUpTargetFailure(const CommandLineOptions& options, const HostList& hosts)
{
    const tHostInfo* macRow = nullptr;
    const WakeUpTarget target = TargetFromSwitches(options, hosts, macRow);
    if (target.macAddr.empty()) {
        if (macRow != nullptr) {
            const std::string_view shown =
                macRow->hostName[0] != '\0' ? macRow->hostName : macRow->ipAddr;
            return "Host \"" + OneLineText(shown) + "\" has no MAC address.";
        }
        if (const std::string* name = Given(options.hostName))
            return "Host \"" + OneLineText(*name) + "\" is not in the host list.";
        return "No MAC address: give one with /M.";
    }
    if (target.ipAddr.empty() && !target.broadcast)
        return "No IP address to send to: give one with /I, or leave out /B.";
    return {};
}

} // namespace pondel
