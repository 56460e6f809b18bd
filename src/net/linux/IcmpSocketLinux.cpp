#include "Icmp.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <utility>

#include <arpa/inet.h>
#include <linux/errqueue.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include "SystemError.h"

namespace pondel {
namespace {

constexpr int kTimeToLive = 30;
// The largest IPv4 header followed by a whole echo message: more than any
// reply we parse needs.
constexpr std::size_t kReplyBufferSize = 60 + kIcmpRequestSize;

using ReplyBuffer = std::array<std::uint8_t, kReplyBufferSize>;

bool SetTimeToLive(int fd)
{
    return setsockopt(fd, IPPROTO_IP, IP_TTL, &kTimeToLive, sizeof kTimeToLive) == 0;
}

IcmpSocket OpenRawSocket(int& error)
{
    SocketHandle handle(socket(AF_INET, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP));
    if (!handle || !SetTimeToLive(handle.Get())) {
        error = errno;
        return {};
    }
    return IcmpSocket(std::move(handle), IcmpSocketKind::kRaw, ProcessEchoIdentifier());
}

// The ping socket needs no privilege, only a group inside
// net.ipv4.ping_group_range. The kernel puts the socket's port into the
// identifier of every request, so binding to port 0 tells which one it is.
IcmpSocket OpenDatagramSocket(int& error)
{
    SocketHandle handle(socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_ICMP));
    const int on = 1;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    socklen_t localLength = sizeof local;
    // Without IP_RECVERR an unconnected ping socket never hears of the
    // unreachable messages that must end a probe.
    if (!handle || !SetTimeToLive(handle.Get()) ||
        setsockopt(handle.Get(), IPPROTO_IP, IP_RECVERR, &on, sizeof on) != 0 ||
        bind(handle.Get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
        getsockname(handle.Get(), reinterpret_cast<sockaddr*>(&local), &localLength) != 0) {
        error = errno;
        return {};
    }
    return IcmpSocket(std::move(handle), IcmpSocketKind::kDatagram, ntohs(local.sin_port));
}

using Deadline = std::chrono::steady_clock::time_point;

// Waits until there is something to read or the deadline has passed; false
// on time-out or error. The monotonic clock keeps the deadline where it is
// when the wall clock is set; ppoll has no limit on descriptor numbers, as
// select has.
bool WaitReadable(int fd, Deadline deadline)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        const timespec limit{static_cast<time_t>(left.count() / 1'000'000'000),
            static_cast<long>(left.count() % 1'000'000'000)};
        pollfd ready{fd, POLLIN, 0};
        const int count = ppoll(&ready, 1, &limit, nullptr);
        if (count < 0 && errno == EINTR)
            continue;
        return count > 0 && (ready.revents & POLLNVAL) == 0;
    }
}

// Reads one packet; none when reading fails or it comes from another sender.
std::optional<std::span<const std::uint8_t>> ReceiveFromDestination(
    int fd, in_addr_t destination, ReplyBuffer& reply)
{
    sockaddr_in source{};
    socklen_t sourceLength = sizeof source;
    const ssize_t length = recvfrom(
        fd, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&source), &sourceLength);
    if (length < 0 || source.sin_addr.s_addr != destination)
        return std::nullopt;
    return std::span<const std::uint8_t>(reply.data(), static_cast<std::size_t>(length));
}

IcmpVerdict ReceiveRaw(const IcmpSocket& socket, in_addr_t destination)
{
    ReplyBuffer reply{};
    const auto packet = ReceiveFromDestination(socket.Get(), destination, reply);
    if (!packet)
        return IcmpVerdict::kIgnored;
    const auto message = IcmpMessageOf(*packet);
    if (!message)
        return IcmpVerdict::kNotAnswered;
    return JudgeIcmpMessage(*message, socket.Identifier());
}

// An ICMP error about one of this socket's requests, judged as the raw
// socket would judge the error message itself; none when the queue is empty.
std::optional<IcmpVerdict> ReceiveQueuedError(const IcmpSocket& socket, in_addr_t destination)
{
    ReplyBuffer original{};
    iovec data{original.data(), original.size()};
    alignas(cmsghdr) char control[256];
    sockaddr_in target{};
    msghdr message{};
    message.msg_name = &target;
    message.msg_namelen = sizeof target;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    if (recvmsg(socket.Get(), &message, MSG_ERRQUEUE) < 0)
        return std::nullopt;

    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
         header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level != IPPROTO_IP || header->cmsg_type != IP_RECVERR)
            continue;
        sock_extended_err error{};
        std::memcpy(&error, CMSG_DATA(header), sizeof error);
        if (error.ee_origin != SO_EE_ORIGIN_ICMP)
            return IcmpVerdict::kIgnored;
        // The sender of the error message follows the extended error.
        sockaddr_in offender{};
        std::memcpy(&offender, CMSG_DATA(header) + sizeof error, sizeof offender);
        if (offender.sin_addr.s_addr != destination)
            return IcmpVerdict::kIgnored;
        const std::array<std::uint8_t, kIcmpHeaderSize> errorMessage{error.ee_type, error.ee_code};
        return JudgeIcmpMessage(errorMessage, socket.Identifier());
    }
    return IcmpVerdict::kIgnored;
}

IcmpVerdict ReceiveDatagram(const IcmpSocket& socket, in_addr_t destination)
{
    if (const auto error = ReceiveQueuedError(socket, destination))
        return *error;

    // The kernel hands over the ICMP message without its IP header.
    ReplyBuffer reply{};
    const auto message = ReceiveFromDestination(socket.Get(), destination, reply);
    if (!message)
        return IcmpVerdict::kIgnored;
    if (message->size() < kIcmpHeaderSize)
        return IcmpVerdict::kNotAnswered;
    return JudgeIcmpMessage(*message, socket.Identifier());
}

} // namespace

Result<IcmpSocket> IcmpOpen()
{
    int rawError = 0;
    IcmpSocket raw = OpenRawSocket(rawError);
    if (raw)
        return raw;
    int datagramError = 0;
    IcmpSocket datagram = OpenDatagramSocket(datagramError);
    if (datagram)
        return datagram;
    // Lacking the right to a raw socket is the cause worth reporting.
    return ErrorInfo{rawError, "cannot open an ICMP socket: " + GetSystemErrorText(rawError)};
}

int IcmpEcho(std::uint32_t timeOut, std::string_view target, const IcmpSocket& socket)
{
    if (!socket)
        return -1;
    const auto resolved = ResolveEchoTarget(target);
    if (!resolved)
        return -1;
    const in_addr_t destination = htonl(*resolved);

    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = destination;
    const IcmpRequest& request = socket.Request();
    if (sendto(socket.Get(), request.data(), request.size(), 0,
            reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0)
        return -1;

    const Deadline deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeOut);
    for (;;) {
        if (!WaitReadable(socket.Get(), deadline))
            return -1;
        const IcmpVerdict verdict = socket.Kind() == IcmpSocketKind::kRaw
            ? ReceiveRaw(socket, destination)
            : ReceiveDatagram(socket, destination);
        if (verdict == IcmpVerdict::kAnswered)
            return 0;
        if (verdict == IcmpVerdict::kNotAnswered)
            return -1;
    }
}

} // namespace pondel
