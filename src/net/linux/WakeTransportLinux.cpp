// The wake-up's datagrams and frames on Linux. Every path but the raw frame
// works without privileges: the limited broadcast picks its interface per
// datagram with IP_PKTINFO (SO_BINDTODEVICE would want CAP_NET_RAW on older
// kernels), and the IPv6 group is scoped to its link by the address itself.
#include "WakeTransport.h"

#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "DatagramSend.h"
#include "Ipv4Text.h"
#include "SocketHandle.h"
#include "SystemError.h"

namespace pondel {
namespace {

// The EtherType that Wake-on-LAN frames carry.
constexpr std::uint16_t kWakeEtherType = 0x0842;

void Record(WakeSendLine& line, WakeSendState state, int error)
{
    line.state = state;
    line.systemError = error;
    line.reason = error != 0 ? GetSystemErrorText(error) : std::string();
}

// errno is read only after the send, whatever order arguments would take.
template <typename SendOne>
void RecordSend(WakeSendLine& line, SendOne send)
{
    const bool sent = send();
    Record(line, sent ? WakeSendState::kSent : WakeSendState::kFailed, sent ? 0 : errno);
}

// A socket opened once; a failure to open it is kept and told for every
// datagram that needed it.
struct LazySocket {
    SocketHandle handle;
    int openError = 0;
    bool tried = false;

    template <typename Open>
    bool Ensure(Open open)
    {
        if (!tried) {
            tried = true;
            handle = open();
            if (!handle)
                openError = errno;
        }
        return static_cast<bool>(handle);
    }
};

SocketHandle OpenBroadcastSocket()
{
    SocketHandle socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    const int on = 1;
    if (socket && setsockopt(socket.Get(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0)
        return SocketHandle();
    return socket;
}

} // namespace

struct WakeTransport::Sockets {
    LazySocket limited;
    LazySocket ipv6;
    LazySocket raw;
};

WakeTransport::WakeTransport()
    : sockets_(std::make_unique<Sockets>())
{
}

WakeTransport::~WakeTransport() = default;

namespace {

// 255.255.255.255 out of one interface: the interface is named in the
// datagram's packet information, the source then is that interface's.
bool SendLimitedBroadcast(int socket, const WakeSendLine& line, std::span<const std::uint8_t> data)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(line.port);
    address.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    in_pktinfo info{};
    info.ipi_ifindex = line.interfaceIndex;
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    iovec vector{const_cast<std::uint8_t*>(data.data()), data.size()};
    msghdr message{};
    message.msg_name = &address;
    message.msg_namelen = sizeof address;
    message.msg_iov = &vector;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = IPPROTO_IP;
    header->cmsg_type = IP_PKTINFO;
    header->cmsg_len = CMSG_LEN(sizeof info);
    std::memcpy(CMSG_DATA(header), &info, sizeof info);
    return sendmsg(socket, &message, 0) >= 0;
}

// The link-local all-nodes group: the scope id is the interface.
bool SendAllNodes(int socket, const WakeSendLine& line, std::span<const std::uint8_t> data)
{
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_port = htons(line.port);
    inet_pton(AF_INET6, "ff02::1", &address.sin6_addr);
    address.sin6_scope_id = static_cast<std::uint32_t>(line.interfaceIndex);
    return sendto(socket, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&address),
               sizeof address) >= 0;
}

// A frame to the Ethernet broadcast address; the kernel writes the header
// from the address below and the interface's own MAC.
bool SendFrame(int socket, const WakeSendLine& line, std::span<const std::uint8_t> data)
{
    sockaddr_ll address{};
    address.sll_family = AF_PACKET;
    address.sll_protocol = htons(kWakeEtherType);
    address.sll_ifindex = line.interfaceIndex;
    address.sll_halen = ETH_ALEN;
    std::memset(address.sll_addr, 0xFF, ETH_ALEN);
    return sendto(socket, data.data(), data.size(), 0, reinterpret_cast<sockaddr*>(&address),
               sizeof address) >= 0;
}

} // namespace

void WakeTransport::Send(WakeSendLine& line, std::span<const std::uint8_t> payload)
{
    switch (line.path) {
    case WakePath::kDirectedBroadcast:
    case WakePath::kUnicast: {
        // The datagram a wake-up has always sent, from a socket of its own.
        const bool broadcast = line.path == WakePath::kDirectedBroadcast;
        const DatagramOutcome outcome =
            SendDatagram(TextToIp(line.destination), line.port, payload, broadcast);
        const bool sent = outcome.step == DatagramStep::kSent;
        Record(line, sent ? WakeSendState::kSent : WakeSendState::kFailed, outcome.errorNumber);
        return;
    }
    case WakePath::kLimitedBroadcast:
        if (!sockets_->limited.Ensure(OpenBroadcastSocket))
            return Record(line, WakeSendState::kFailed, sockets_->limited.openError);
        RecordSend(line,
            [&] { return SendLimitedBroadcast(sockets_->limited.handle.Get(), line, payload); });
        return;
    case WakePath::kIpv6AllNodes:
        if (!sockets_->ipv6.Ensure(
                [] { return SocketHandle(socket(AF_INET6, SOCK_DGRAM | SOCK_CLOEXEC, 0)); }))
            return Record(line, WakeSendState::kFailed, sockets_->ipv6.openError);
        RecordSend(line, [&] { return SendAllNodes(sockets_->ipv6.handle.Get(), line, payload); });
        return;
    case WakePath::kRawFrame:
        // Protocol 0: the socket sends only and is handed no frames.
        if (!sockets_->raw.Ensure(
                [] { return SocketHandle(socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC, 0)); }))
            return Record(line, WakeSendState::kSkipped, sockets_->raw.openError);
        RecordSend(line, [&] { return SendFrame(sockets_->raw.handle.Get(), line, payload); });
        return;
    }
}

} // namespace pondel
