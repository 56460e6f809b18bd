#include "AddressLookup.h"

#include <algorithm>
#include <utility>

#include "Ipv4Text.h"
#include "MacAddress.h"
#include "SystemNetwork.h"

namespace pondel {
namespace {

using system_network::AddressTableRow;
using system_network::NetworkInterface;

bool Qualifies(const NetworkInterface& adapter)
{
    return adapter.operational && !adapter.hardwareAddress.empty() && !adapter.loopback;
}

struct OwnedAddress {
    std::uint32_t address = 0;
    std::uint32_t netMask = 0;
    const NetworkInterface* adapter = nullptr;
};

// The qualifying addresses of the qualifying adapters, in the system's
// order. The pointers refer into `adapters`.
std::vector<OwnedAddress> QualifyingAddresses(const std::vector<NetworkInterface>& adapters)
{
    std::vector<OwnedAddress> owned;
    for (const auto& adapter : adapters) {
        if (!Qualifies(adapter))
            continue;
        for (const auto& address : adapter.addresses) {
            if (!address.transient)
                owned.push_back({address.address, address.netMask, &adapter});
        }
    }
    return owned;
}

// No adapters when the list cannot be read: the callers' answers for that
// are documented as those for a computer without a network.
std::vector<NetworkInterface> ReadAdapters()
{
    Result<std::vector<NetworkInterface>> adapters = system_network::ReadNetworkInterfaces();
    if (!adapters)
        return {};
    return std::move(adapters).Value();
}

// The first six bytes of the hardware address; a shorter one is padded with
// zeros, as the fixed eight-byte field of the system it stands in for was.
std::string FormatHardwareAddress(const std::vector<std::uint8_t>& hardware)
{
    MacAddress mac{};
    std::copy_n(hardware.begin(), std::min(hardware.size(), mac.size()), mac.begin());
    return FormatMacAddress(mac);
}

std::optional<std::string> FindAdapterMac(
    const std::vector<OwnedAddress>& owned, std::string_view ipText)
{
    for (const auto& own : owned) {
        if (IpToText(own.address) == ipText)
            return FormatHardwareAddress(own.adapter->hardwareAddress);
    }
    return std::nullopt;
}

// The connected subnet of a qualifying adapter that holds the address; a
// host anywhere else is not on a link of ours and gets no resolution.
const OwnedAddress* FindConnectedSubnet(
    const std::vector<OwnedAddress>& owned, std::uint32_t address)
{
    const auto found = std::find_if(owned.begin(), owned.end(), [address](const OwnedAddress& own) {
        return own.netMask != 0 && (address & own.netMask) == (own.address & own.netMask);
    });
    return found == owned.end() ? nullptr : &*found;
}

std::optional<std::uint32_t> MaskOfRow(
    const std::vector<system_network::AddressTableRow>& rows, std::uint32_t address)
{
    std::optional<std::uint32_t> mask;
    for (const auto& row : rows) {
        // A later row for the same address replaces an earlier one.
        if (row.address == address)
            mask = row.netMask;
    }
    if (mask && *mask == 0)
        return std::nullopt;
    return mask;
}

} // namespace

std::uint32_t ClassfulNetMask(std::uint32_t address)
{
    if ((address & 0x80000000u) == 0)
        return 0xFF000000u;
    if ((address & 0xC0000000u) == 0x80000000u)
        return 0xFFFF0000u;
    return 0xFFFFFF00u;
}

Result<std::uint32_t> FindLocalHostAddress()
{
    const Result<std::vector<NetworkInterface>> adapters = system_network::ReadNetworkInterfaces();
    if (!adapters)
        return adapters.Error();
    const auto owned = QualifyingAddresses(adapters.Value());
    if (owned.empty())
        return ErrorInfo{
            0, "This computer has no network adapter that is up and has an IPv4 address."};
    // Debian maps the host name to 127.0.1.1, and other setups to an address
    // the computer no longer has; neither is an address others can reach us
    // at, so the resolver is believed only for an address we really own.
    const auto resolved = system_network::ResolveOwnHostName();
    if (!resolved.empty()) {
        const std::uint32_t first = resolved.front();
        const bool ours = std::any_of(owned.begin(), owned.end(),
            [first](const OwnedAddress& own) { return own.address == first; });
        if (ours)
            return first;
    }
    // The adapter that carries the default route is the one others reach
    // us through; bridges, VPNs and container links often come before it.
    if (const auto routeInterface = system_network::DefaultRouteInterface()) {
        const auto onRoute = std::find_if(owned.begin(), owned.end(),
            [&](const OwnedAddress& own) { return own.adapter->index == *routeInterface; });
        if (onRoute != owned.end())
            return onRoute->address;
    }
    return owned.front().address;
}

std::uint32_t GetLocalHostAddress()
{
    const Result<std::uint32_t> address = FindLocalHostAddress();
    return address ? address.Value() : 0;
}

std::vector<std::uint32_t> GetLocalAdapterAddresses()
{
    const auto adapters = ReadAdapters();
    std::vector<std::uint32_t> addresses;
    for (const auto& own : QualifyingAddresses(adapters))
        addresses.push_back(own.address);
    return addresses;
}

std::optional<std::string> GetLocalAdapterMac(std::string_view ipText)
{
    const auto adapters = ReadAdapters();
    return FindAdapterMac(QualifyingAddresses(adapters), ipText);
}

namespace {

std::optional<std::string> LookUpMacAddress(std::string_view ipText, std::chrono::milliseconds wait)
{
    const std::uint32_t address = TextToIp(ipText);
    const auto adapters = ReadAdapters();
    const auto owned = QualifyingAddresses(adapters);
    // Every accepted form of an address compares in its canonical text.
    if (auto own = FindAdapterMac(owned, IpToText(address)))
        return own;
    if (address == 0 || address == kInvalidIp)
        return std::nullopt;

    const OwnedAddress* subnet = FindConnectedSubnet(owned, address);
    if (subnet == nullptr)
        return std::nullopt;
    const auto mac = system_network::ResolveNeighbour(address, subnet->adapter->index, wait);
    if (!mac)
        return std::nullopt;
    return FormatMacAddress(*mac);
}

} // namespace

std::optional<std::string> GetMacAddress(std::string_view ipText)
{
    return LookUpMacAddress(ipText, kMacLookupWait);
}

std::optional<std::string> GetKnownMacAddress(std::string_view ipText)
{
    return LookUpMacAddress(ipText, std::chrono::milliseconds::zero());
}

std::uint32_t GetNetMask(std::uint32_t address)
{
    return ReadNetMasks()(address);
}

std::function<std::uint32_t(std::uint32_t)> ReadNetMasks()
{
    Result<std::vector<AddressTableRow>> table = system_network::ReadAddressTable();
    std::vector<AddressTableRow> rows;
    if (table)
        rows = std::move(table.Value());
    // This computer's own address costs a name lookup: asked for at most
    // once, and only when a host is on none of the table's networks.
    return [rows = std::move(rows), own = std::optional<std::uint32_t>()](
               std::uint32_t address) mutable {
        // An empty table has no first row to fall back on; the class is the
        // best guess left, as for a table that cannot be read.
        if (rows.empty())
            return ClassfulNetMask(address);
        if (const auto mask = MaskOfRow(rows, address))
            return *mask;
        if (!own)
            own = GetLocalHostAddress();
        if (const auto mask = MaskOfRow(rows, *own))
            return *mask;
        return rows.front().netMask;
    };
}

bool IsOnLocalNetwork(std::uint32_t target, std::uint32_t netMask)
{
    const auto addresses = GetLocalAdapterAddresses();
    if (addresses.empty()) {
        // 0 means this computer has no address at all, and so no network
        // that anything could lie in.
        const std::uint32_t own = GetLocalHostAddress();
        return own != 0 && (target & netMask) == (own & netMask);
    }
    return std::any_of(addresses.begin(), addresses.end(),
        [target, netMask](std::uint32_t own) { return (target & netMask) == (own & netMask); });
}

} // namespace pondel
