// Which datagrams and frames a wake-up sends: the paths the request asks
// for, each on its interfaces and ports, round after round.
#include <algorithm>
#include <array>
#include <cerrno>

#include "Ipv4Text.h"
#include "MagicPacket.h"
#include "SystemNetwork.h"
#include "WakeSender.h"

namespace pondel {
namespace {

using system_network::NetworkInterface;

struct WakeInterface {
    int index = 0;
    std::string name;
};

constexpr std::array kPathOrder{WakePath::kDirectedBroadcast, WakePath::kLimitedBroadcast,
    WakePath::kUnicast, WakePath::kIpv6AllNodes, WakePath::kRawFrame};

constexpr unsigned kMostRounds = 10;

bool HoldsAddress(const NetworkInterface& link, std::uint32_t ip)
{
    return ip != 0 && std::ranges::any_of(link.addresses, [ip](const auto& own) {
        return !own.transient && ((own.address ^ ip) & own.netMask) == 0;
    });
}

bool CanCarry(const NetworkInterface& link)
{
    return link.operational && !link.loopback;
}

// The interfaces the limited broadcast, IPv6 and the raw frame leave by: the
// one named in the request; else those whose IPv4 network holds the host's
// address; else every up, broadcast-capable one. Why there are none, when
// there are none.
Result<std::vector<WakeInterface>> ChooseInterfaces(const WakeRequest& request)
{
    const Result<std::vector<NetworkInterface>> links = system_network::ReadNetworkInterfaces();
    if (!links)
        return links.Error();
    std::vector<WakeInterface> chosen;
    if (!request.interfaceName.empty()) {
        for (const NetworkInterface& link : links.Value())
            if (link.name == request.interfaceName)
                return std::vector<WakeInterface>{{link.index, link.name}};
        return ErrorInfo{ENODEV, "there is no interface named " + request.interfaceName};
    }
    for (const NetworkInterface& link : links.Value())
        if (CanCarry(link) && HoldsAddress(link, request.ip))
            chosen.push_back({link.index, link.name});
    if (chosen.empty())
        for (const NetworkInterface& link : links.Value())
            if (CanCarry(link) && link.broadcast)
                chosen.push_back({link.index, link.name});
    if (chosen.empty())
        return ErrorInfo{ENETDOWN, "no interface that can broadcast is up"};
    return chosen;
}

std::string PathDestination(WakePath path, const WakeRequest& request)
{
    switch (path) {
    case WakePath::kDirectedBroadcast:
        return IpToText(MagicPacketDestination(request.ip, request.netMask, true));
    case WakePath::kLimitedBroadcast:
        return IpToText(kInvalidIp);
    case WakePath::kUnicast:
        return IpToText(request.ip);
    case WakePath::kIpv6AllNodes:
        return "ff02::1";
    case WakePath::kRawFrame:
        return FormatMacAddress({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    }
    return {};
}

bool UsesInterfaces(WakePath path)
{
    return path == WakePath::kLimitedBroadcast || path == WakePath::kIpv6AllNodes ||
        path == WakePath::kRawFrame;
}

// One round's lines.
class RoundPlanner final {
public:
    explicit RoundPlanner(const WakeRequest& request)
        : request_(request)
        , length_(request.secureOn ? kSecureOnPacketSize : kMagicPacketSize)
    {
    }

    std::vector<WakeSendLine> Plan()
    {
        for (const WakePath path : kPathOrder) {
            if ((request_.paths & PathBit(path)) == 0)
                continue;
            if (!UsesInterfaces(path))
                AddOnPorts(path, {});
            else if (const auto& links = Interfaces(); !links)
                AddSkipped(path, links.Error().message);
            else
                for (const WakeInterface& link : links.Value())
                    AddOnPorts(path, link);
        }
        return std::move(lines_);
    }

private:
    const Result<std::vector<WakeInterface>>& Interfaces()
    {
        if (!interfaces_)
            interfaces_.emplace(ChooseInterfaces(request_));
        return *interfaces_;
    }

    WakeSendLine& Add(WakePath path, const WakeInterface& link)
    {
        WakeSendLine& line = lines_.emplace_back();
        line.path = path;
        line.destination = PathDestination(path, request_);
        line.interfaceName = link.name;
        line.interfaceIndex = link.index;
        line.length = length_;
        return line;
    }

    // A frame has no port; a datagram goes to each port.
    void AddOnPorts(WakePath path, const WakeInterface& link)
    {
        if (path == WakePath::kRawFrame) {
            Add(path, link);
            return;
        }
        for (const std::uint16_t port : request_.ports)
            Add(path, link).port = port;
    }

    void AddSkipped(WakePath path, std::string reason)
    {
        WakeSendLine& line = Add(path, {});
        line.state = WakeSendState::kSkipped;
        line.reason = std::move(reason);
    }

    const WakeRequest& request_;
    const std::size_t length_;
    std::optional<Result<std::vector<WakeInterface>>> interfaces_;
    std::vector<WakeSendLine> lines_;
};

} // namespace

std::vector<WakeSendLine> PlanWake(const WakeRequest& request)
{
    const std::vector<WakeSendLine> round = RoundPlanner(request).Plan();
    const unsigned rounds = std::clamp(request.repeats, 1u, kMostRounds);
    std::vector<WakeSendLine> lines;
    lines.reserve(round.size() * rounds);
    for (unsigned number = 1; number <= rounds; ++number) {
        for (WakeSendLine line : round) {
            line.round = number;
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

} // namespace pondel
