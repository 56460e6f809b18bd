// The wake listener's sockets on Linux. The IPv4 and IPv6 sockets of one
// port coexist because the IPv6 one takes IPv6 alone; SO_REUSEADDR lets a
// second listener (the window and a console command, say) share the ports,
// and every one of them still gets each broadcast. The packet information
// tells the destination address, which tells the directed and the limited
// broadcast, a unicast and ff02::1 apart.
#include "WakeReceiver.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstring>

#include <arpa/inet.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include "MacAddress.h"
#include "SocketHandle.h"
#include "SystemError.h"

namespace pondel {
namespace {

constexpr std::uint16_t kWakeEtherType = 0x0842;
// Ports below this need a privilege unless the system lowers the bound.
constexpr std::uint16_t kFirstOrdinaryPort = 1024;
// More than any magic packet; a longer one is no wake packet anyway.
constexpr std::size_t kBufferSize = 2048;
// Packets taken from one socket before the others get their turn.
constexpr int kBurst = 64;

struct ListenSocket {
    SocketHandle handle;
    int family = AF_INET; // AF_INET, AF_INET6 or AF_PACKET
    std::string path;     // "UDP 9", "EtherType 0x0842"
};

std::string ExecutablePath()
{
    std::array<char, PATH_MAX> path{};
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    return length > 0 ? std::string(path.data(), static_cast<std::size_t>(length))
                      : std::string("pondel");
}

std::string SetcapHint()
{
    return "sudo setcap cap_net_bind_service,cap_net_raw+ep " + ExecutablePath();
}

// What would let this program open a port it could not, by the reason.
std::string HowToAllowPort(std::uint16_t port, int error)
{
    if (error == EACCES && port < kFirstOrdinaryPort) {
        return "ports below 1024 need a privilege: run as root, or allow the program with `" +
            SetcapHint() +
            "`, or every program with `sudo sysctl net.ipv4.ip_unprivileged_port_start=" +
            std::to_string(port) + "`";
    }
    if (error == EADDRINUSE)
        return "another program receives on this port without sharing it: end that program";
    return {};
}

std::string HowToAllowFrames(int error)
{
    if (error == EPERM || error == EACCES)
        return "packet sockets need CAP_NET_RAW: run as root, or allow the program with `" +
            SetcapHint() + "`";
    return {};
}

ReceiveFailure Failure(std::string what, int error, std::string howToAllow)
{
    ErrorInfo info{error, "cannot receive on " + what + ": " + GetSystemErrorText(error)};
    return {std::move(what), std::move(info), std::move(howToAllow)};
}

bool SetOption(int socket, int level, int name)
{
    const int on = 1;
    return setsockopt(socket, level, name, &on, sizeof on) == 0;
}

// A UDP socket on every address of one family; errno tells why not.
SocketHandle OpenUdp(int family, std::uint16_t port)
{
    SocketHandle socket(::socket(family, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!socket || !SetOption(socket.Get(), SOL_SOCKET, SO_REUSEADDR))
        return {};
    sockaddr_storage address{};
    socklen_t length = 0;
    if (family == AF_INET) {
        auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
        v4->sin_family = AF_INET;
        v4->sin_port = htons(port);
        v4->sin_addr.s_addr = htonl(INADDR_ANY);
        length = sizeof *v4;
        if (!SetOption(socket.Get(), IPPROTO_IP, IP_PKTINFO))
            return {};
    } else {
        auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(port);
        v6->sin6_addr = in6addr_any;
        length = sizeof *v6;
        if (!SetOption(socket.Get(), IPPROTO_IPV6, IPV6_V6ONLY) ||
            !SetOption(socket.Get(), IPPROTO_IPV6, IPV6_RECVPKTINFO))
            return {};
    }
    if (bind(socket.Get(), reinterpret_cast<sockaddr*>(&address), length) != 0)
        return {};
    return socket;
}

std::string InterfaceName(int index)
{
    char name[IF_NAMESIZE] = {};
    if (index > 0 && if_indextoname(static_cast<unsigned>(index), name) != nullptr)
        return name;
    return index > 0 ? "interface " + std::to_string(index) : std::string();
}

std::string Ipv4Text(const in_addr& address)
{
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

// A link-scoped address names its link, which alone makes it unique.
std::string Ipv6Text(const in6_addr& address, int interfaceIndex)
{
    char text[INET6_ADDRSTRLEN] = {};
    inet_ntop(AF_INET6, &address, text, sizeof text);
    std::string result = text;
    if ((IN6_IS_ADDR_LINKLOCAL(&address) || IN6_IS_ADDR_MC_LINKLOCAL(&address)) &&
        interfaceIndex > 0)
        result += '%' + InterfaceName(interfaceIndex);
    return result;
}

// The destination of a datagram from its packet information.
std::string DestinationOf(msghdr& message)
{
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
         header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level == IPPROTO_IP && header->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(header), sizeof info);
            return Ipv4Text(info.ipi_addr);
        }
        if (header->cmsg_level == IPPROTO_IPV6 && header->cmsg_type == IPV6_PKTINFO) {
            in6_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(header), sizeof info);
            return Ipv6Text(info.ipi6_addr, static_cast<int>(info.ipi6_ifindex));
        }
    }
    return {};
}

// The sender's address, and the address with its port.
void DescribeSource(const sockaddr_storage& source, ReceivedPacket& packet)
{
    if (source.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(source);
        packet.sender = Ipv4Text(v4.sin_addr);
        packet.from = packet.sender + ':' + std::to_string(ntohs(v4.sin_port));
        return;
    }
    const auto& v6 = reinterpret_cast<const sockaddr_in6&>(source);
    packet.sender = Ipv6Text(v6.sin6_addr, static_cast<int>(v6.sin6_scope_id));
    packet.from = '[' + packet.sender + "]:" + std::to_string(ntohs(v6.sin6_port));
}

// Takes one packet; false when none is waiting (or the socket failed).
bool ReceiveOne(const ListenSocket& socket, std::array<std::uint8_t, kBufferSize>& buffer,
    const WakeReceiver::PacketHandler& handler)
{
    sockaddr_storage source{};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in6_pktinfo)) * 2] = {};
    iovec vector{buffer.data(), buffer.size()};
    msghdr message{};
    message.msg_name = &source;
    message.msg_namelen = sizeof source;
    message.msg_iov = &vector;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t length = recvmsg(socket.handle.Get(), &message, MSG_DONTWAIT);
    if (length < 0)
        return false;
    ReceivedPacket packet;
    packet.truncated = (message.msg_flags & MSG_TRUNC) != 0;
    packet.payload = std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(length));
    packet.path = socket.path;
    if (socket.family == AF_PACKET) {
        const auto& link = reinterpret_cast<const sockaddr_ll&>(source);
        // A packet socket also sees the frames this computer sends.
        if (link.sll_pkttype == PACKET_OUTGOING)
            return true;
        MacAddress mac{};
        if (link.sll_halen == mac.size())
            std::memcpy(mac.data(), link.sll_addr, mac.size());
        packet.from = FormatMacAddress(mac);
        packet.sender = packet.from;
        packet.to = InterfaceName(link.sll_ifindex);
    } else {
        DescribeSource(source, packet);
        packet.to = DestinationOf(message);
    }
    handler(packet);
    return true;
}

} // namespace

struct WakeReceiver::Sockets {
    SocketHandle interrupt; // an eventfd, readable once Interrupt was called
    std::vector<ListenSocket> listening;
};

WakeReceiver::WakeReceiver(std::unique_ptr<Sockets> sockets)
    : sockets_(std::move(sockets))
{
}

WakeReceiver::~WakeReceiver() = default;

Result<std::unique_ptr<WakeReceiver>> WakeReceiver::Create()
{
    auto sockets = std::make_unique<Sockets>();
    sockets->interrupt = SocketHandle(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!sockets->interrupt) {
        const int error = errno;
        return ErrorInfo{error, "cannot start listening: " + GetSystemErrorText(error)};
    }
    return std::unique_ptr<WakeReceiver>(new WakeReceiver(std::move(sockets)));
}

WakeReceiver::Opening WakeReceiver::Open(std::span<const std::uint16_t> udpPorts, bool etherFrames)
{
    Opening opening;
    for (const std::uint16_t port : udpPorts) {
        for (const int family : {AF_INET, AF_INET6}) {
            const std::string path = "UDP " + std::to_string(port);
            const std::string what = path + (family == AF_INET ? " (IPv4)" : " (IPv6)");
            SocketHandle socket = OpenUdp(family, port);
            if (!socket) {
                const int error = errno;
                opening.failures.push_back(Failure(what, error, HowToAllowPort(port, error)));
                continue;
            }
            sockets_->listening.push_back({std::move(socket), family, path});
            opening.listening.push_back(what);
        }
    }
    if (etherFrames) {
        const std::string what = "EtherType 0x0842 frames";
        SocketHandle socket(
            ::socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, htons(kWakeEtherType)));
        if (!socket) {
            const int error = errno;
            opening.failures.push_back(Failure(what, error, HowToAllowFrames(error)));
        } else {
            sockets_->listening.push_back({std::move(socket), AF_PACKET, "EtherType 0x0842"});
            opening.listening.push_back(what);
        }
    }
    return opening;
}

bool WakeReceiver::IsListening() const noexcept
{
    return !sockets_->listening.empty();
}

void WakeReceiver::Receive(const PacketHandler& handler)
{
    if (sockets_->listening.empty())
        return;
    std::vector<pollfd> polled{{sockets_->interrupt.Get(), POLLIN, 0}};
    for (const ListenSocket& socket : sockets_->listening)
        polled.push_back({socket.handle.Get(), POLLIN, 0});
    std::array<std::uint8_t, kBufferSize> buffer{};
    for (;;) {
        if (poll(polled.data(), polled.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (polled[0].revents != 0)
            return;
        for (std::size_t i = 1; i < polled.size(); ++i) {
            if (polled[i].revents == 0)
                continue;
            for (int taken = 0; taken < kBurst; ++taken) {
                if (!ReceiveOne(sockets_->listening[i - 1], buffer, handler))
                    break;
            }
        }
    }
}

void WakeReceiver::Interrupt() noexcept
{
    const std::uint64_t one = 1;
    // The counter only grows; a full one is readable all the same.
    [[maybe_unused]] const ssize_t written = write(sockets_->interrupt.Get(), &one, sizeof one);
}

} // namespace pondel
