// Interfaces, the address table and the resolver on Linux. The interface
// and address lists come from rtnetlink rather than getifaddrs, because only
// rtnetlink reports the address flags and the interface index of an alias.
#include "SystemNetwork.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>

#include <arpa/inet.h>
// linux/if.h rather than net/if.h: only it has the operational states, and
// the two cannot be mixed.
#include <linux/if.h>
#include <linux/if_arp.h>
#include <netdb.h>
#include <unistd.h>

#include "RtNetlink.h"

namespace pondel::system_network {
namespace {

using rtnetlink::Attributes;
using rtnetlink::BodyOf;
using rtnetlink::Message;

struct RawAddress {
    std::uint32_t address = 0;
    std::uint32_t netMask = 0;
    std::uint32_t flags = 0;
    int interfaceIndex = 0;
};

std::uint32_t PrefixToMask(unsigned prefixLength)
{
    if (prefixLength == 0)
        return 0;
    if (prefixLength >= 32)
        return 0xFFFFFFFFu;
    return 0xFFFFFFFFu << (32 - prefixLength);
}

// What counts as the stand-in for an address the system marks transient:
// one that is not (or no longer) fit to be a source. IFA_F_SECONDARY is left
// out on purpose. A secondary address is a second address in a subnet the
// interface already has; the computer owns it and answers ARP for it, and
// the system it stands in for lists every address of an adapter alike. Were
// it dropped, asking for the MAC of this computer's own secondary address
// would go out as a resolution request to itself and find nothing.
bool IsTransient(std::uint32_t flags)
{
    return (flags & (IFA_F_DEPRECATED | IFA_F_TENTATIVE | IFA_F_DADFAILED)) != 0;
}

bool IsOperational(std::uint8_t operState, unsigned int flags)
{
    // veth and some drivers never report an operational state of their own.
    constexpr unsigned int kUpAndRunning = IFF_UP | IFF_RUNNING;
    return operState == IF_OPER_UP ||
        (operState == IF_OPER_UNKNOWN && (flags & kUpAndRunning) == kUpAndRunning);
}

std::optional<RawAddress> ParseAddress(const Message& message)
{
    const auto* body = BodyOf<ifaddrmsg>(message);
    if (body == nullptr || body->ifa_family != AF_INET)
        return std::nullopt;
    const Attributes attributes(message, sizeof(ifaddrmsg));
    // IFA_LOCAL is this computer's side; IFA_ADDRESS is the far end on a
    // point-to-point link and equals IFA_LOCAL everywhere else.
    std::optional<std::uint32_t> address = attributes.U32(IFA_LOCAL);
    if (!address)
        address = attributes.U32(IFA_ADDRESS);
    if (!address)
        return std::nullopt;
    RawAddress raw;
    raw.address = ntohl(*address);
    raw.netMask = PrefixToMask(body->ifa_prefixlen);
    // The 8-bit field cannot hold the newer flags; IFA_FLAGS holds them all.
    raw.flags = attributes.U32(IFA_FLAGS).value_or(body->ifa_flags);
    raw.interfaceIndex = static_cast<int>(body->ifa_index);
    return raw;
}

std::optional<NetworkInterface> ParseLink(const Message& message)
{
    const auto* body = BodyOf<ifinfomsg>(message);
    if (body == nullptr)
        return std::nullopt;
    const Attributes attributes(message, sizeof(ifinfomsg));
    NetworkInterface link;
    link.index = body->ifi_index;
    if (const rtattr* name = attributes.Find(IFLA_IFNAME)) {
        const auto* text = reinterpret_cast<const char*>(rtnetlink::AttributeData(name));
        link.name.assign(text, strnlen(text, rtnetlink::AttributeDataSize(name)));
    }
    link.operational =
        IsOperational(attributes.U8(IFLA_OPERSTATE).value_or(IF_OPER_UNKNOWN), body->ifi_flags);
    link.loopback = (body->ifi_flags & IFF_LOOPBACK) != 0 || body->ifi_type == ARPHRD_LOOPBACK;
    link.broadcast = (body->ifi_flags & IFF_BROADCAST) != 0;
    if (const rtattr* hardware = attributes.Find(IFLA_ADDRESS)) {
        const std::uint8_t* bytes = rtnetlink::AttributeData(hardware);
        link.hardwareAddress.assign(bytes, bytes + rtnetlink::AttributeDataSize(hardware));
    }
    return link;
}

// Dumps one kernel table and parses every entry of the answered type;
// entries the parser refuses are left out.
template <typename Entry, typename Filter, typename Parse>
Result<std::vector<Entry>> DumpTable(rtnetlink::Socket& socket, std::uint16_t requestType,
    std::uint16_t answerType, const Filter& filter, Parse parse)
{
    rtnetlink::Request request(requestType, NLM_F_DUMP);
    request.Append(filter);
    const Result<std::vector<Message>> messages = socket.Dump(request);
    if (!messages)
        return messages.Error();
    std::vector<Entry> entries;
    for (const auto& message : messages.Value()) {
        if (rtnetlink::Header(message).nlmsg_type != answerType)
            continue;
        if (auto entry = parse(message))
            entries.push_back(std::move(*entry));
    }
    return entries;
}

Result<std::vector<NetworkInterface>> DumpLinks(rtnetlink::Socket& socket)
{
    ifinfomsg filter{};
    filter.ifi_family = AF_UNSPEC;
    return DumpTable<NetworkInterface>(socket, RTM_GETLINK, RTM_NEWLINK, filter, ParseLink);
}

Result<std::vector<RawAddress>> DumpAddresses(rtnetlink::Socket& socket)
{
    ifaddrmsg filter{};
    filter.ifa_family = AF_INET;
    return DumpTable<RawAddress>(socket, RTM_GETADDR, RTM_NEWADDR, filter, ParseAddress);
}

struct DefaultRoute {
    int interfaceIndex = 0;
    std::uint32_t metric = 0;
};

// A route that is a default route of the main table over one interface.
std::optional<DefaultRoute> ParseDefaultRoute(const Message& message)
{
    const auto* body = BodyOf<rtmsg>(message);
    if (body == nullptr || body->rtm_family != AF_INET || body->rtm_dst_len != 0 ||
        body->rtm_type != RTN_UNICAST)
        return std::nullopt;
    const Attributes attributes(message, sizeof(rtmsg));
    // Table numbers above 255 live only in RTA_TABLE.
    if (attributes.U32(RTA_TABLE).value_or(body->rtm_table) != RT_TABLE_MAIN)
        return std::nullopt;
    const auto interfaceIndex = attributes.U32(RTA_OIF);
    if (!interfaceIndex)
        return std::nullopt;
    return DefaultRoute{
        static_cast<int>(*interfaceIndex), attributes.U32(RTA_PRIORITY).value_or(0)};
}

struct AddrinfoRelease {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};

} // namespace

Result<std::vector<NetworkInterface>> ReadNetworkInterfaces()
{
    Result<rtnetlink::Socket> socket = rtnetlink::Socket::Open();
    if (!socket)
        return socket.Error();
    Result<std::vector<NetworkInterface>> links = DumpLinks(socket.Value());
    if (!links)
        return links.Error();
    const Result<std::vector<RawAddress>> addresses = DumpAddresses(socket.Value());
    if (!addresses)
        return addresses.Error();

    std::map<int, NetworkInterface*> byIndex;
    for (auto& link : links.Value())
        byIndex[link.index] = &link;
    for (const auto& raw : addresses.Value()) {
        const auto owner = byIndex.find(raw.interfaceIndex);
        if (owner != byIndex.end())
            owner->second->addresses.push_back({raw.address, raw.netMask, IsTransient(raw.flags)});
    }
    return links;
}

Result<std::vector<AddressTableRow>> ReadAddressTable()
{
    Result<rtnetlink::Socket> socket = rtnetlink::Socket::Open();
    if (!socket)
        return socket.Error();
    const Result<std::vector<RawAddress>> addresses = DumpAddresses(socket.Value());
    if (!addresses)
        return addresses.Error();
    std::vector<AddressTableRow> rows;
    rows.reserve(addresses.Value().size());
    for (const auto& raw : addresses.Value())
        rows.push_back({raw.address, raw.netMask, raw.interfaceIndex});
    return rows;
}

std::optional<int> DefaultRouteInterface()
{
    Result<rtnetlink::Socket> socket = rtnetlink::Socket::Open();
    if (!socket)
        return std::nullopt;
    rtmsg filter{};
    filter.rtm_family = AF_INET;
    const Result<std::vector<DefaultRoute>> routes = DumpTable<DefaultRoute>(
        socket.Value(), RTM_GETROUTE, RTM_NEWROUTE, filter, ParseDefaultRoute);
    if (!routes || routes.Value().empty())
        return std::nullopt;
    // The kernel takes the route of lowest metric; of equal ones, the first.
    const auto best = std::min_element(routes.Value().begin(), routes.Value().end(),
        [](const DefaultRoute& a, const DefaultRoute& b) { return a.metric < b.metric; });
    return best->interfaceIndex;
}

std::vector<std::uint32_t> ResolveIpv4(std::string_view hostName)
{
    const std::string name(hostName);
    addrinfo hints{};
    hints.ai_family = AF_INET;
    // One entry per address instead of one per socket type.
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (name.empty() || getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0)
        return {};
    const std::unique_ptr<addrinfo, AddrinfoRelease> list(found);

    std::vector<std::uint32_t> addresses;
    for (const addrinfo* entry = list.get(); entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || entry->ai_addrlen < sizeof(sockaddr_in))
            continue;
        sockaddr_in address{};
        std::memcpy(&address, entry->ai_addr, sizeof address);
        addresses.push_back(ntohl(address.sin_addr.s_addr));
    }
    return addresses;
}

std::vector<std::uint32_t> ResolveOwnHostName()
{
    std::array<char, 256> name{};
    if (gethostname(name.data(), name.size() - 1) != 0)
        return {};
    return ResolveIpv4(name.data());
}

} // namespace pondel::system_network
