#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "Result.h"
#include "SocketHandle.h"

namespace pondel {

// The echo request: type 8, code 0, checksum, identifier, sequence (0 for a
// single probe), then 24 bytes of 0xCC.
inline constexpr std::size_t kIcmpRequestSize = 32;
using IcmpRequest = std::array<std::uint8_t, kIcmpRequestSize>;

// Type, code, checksum and four bytes that depend on the type.
inline constexpr std::size_t kIcmpHeaderSize = 8;

inline constexpr std::uint8_t kIcmpEchoReply = 0;
inline constexpr std::uint8_t kIcmpDestinationUnreachable = 3;
inline constexpr std::uint8_t kIcmpEchoRequest = 8;
inline constexpr std::uint8_t kIcmpTimeExceeded = 11;

// The Internet checksum (RFC 1071) of data, as it is stored in the packet:
// the words are added in machine order, so the result goes back into the
// buffer in machine order too.
[[nodiscard]] std::uint16_t IcmpChecksum(std::span<const std::uint8_t> data);

// The request for one identifier and sequence number, checksum filled in.
// Both are the values of the fields as read in network order.
[[nodiscard]] IcmpRequest BuildEchoRequest(std::uint16_t identifier, std::uint16_t sequence = 0);

// The identifier and sequence number of an echo reply.
struct EchoReplyFields {
    std::uint16_t identifier = 0;
    std::uint16_t sequence = 0;
};

// The fields of an ICMP message that is an echo reply of at least 8 bytes;
// none for anything else.
[[nodiscard]] std::optional<EchoReplyFields> ReadEchoReply(std::span<const std::uint8_t> message);

// The identifier of the raw socket's requests: the low 16 bits of the process
// id, stored least significant byte first. Returned as the field's value in
// network order, like every identifier here.
[[nodiscard]] std::uint16_t ProcessEchoIdentifier();

enum class IcmpSocketKind {
    // SOCK_RAW: sees every ICMP packet with its IP header; needs CAP_NET_RAW.
    kRaw,
    // The unprivileged ping socket (SOCK_DGRAM, IPPROTO_ICMP): the kernel
    // sets the identifier, strips the IP header and delivers only replies
    // to this socket's requests; errors come through the error queue.
    kDatagram,
};

// An ICMP socket ready for IcmpEcho, with the request it sends and the
// identifier its replies carry. The request is built once and only read
// afterwards; every probe keeps its reply in a buffer of its own. One socket
// serves one probe at a time: probes running at once on one socket could
// take each other's packets, so each thread opens its own.
class IcmpSocket final {
public:
    IcmpSocket() noexcept = default;
    IcmpSocket(SocketHandle handle, IcmpSocketKind kind, std::uint16_t identifier);

    int Get() const noexcept { return handle_.Get(); }
    bool IsValid() const noexcept { return handle_.IsValid(); }
    explicit operator bool() const noexcept { return IsValid(); }

    IcmpSocketKind Kind() const noexcept { return kind_; }
    std::uint16_t Identifier() const noexcept { return identifier_; }
    const IcmpRequest& Request() const noexcept { return request_; }

    void Close() noexcept { handle_.Reset(); }

private:
    SocketHandle handle_;
    IcmpSocketKind kind_ = IcmpSocketKind::kRaw;
    std::uint16_t identifier_ = 0;
    IcmpRequest request_{};
};

// Opens a raw ICMP socket (time-to-live 30, non-blocking). Without the right
// to do so it opens the unprivileged ping socket instead. When neither can be
// opened the error is the raw socket's, the cause worth reporting.
[[nodiscard]] Result<IcmpSocket> IcmpOpen();

// Where a received packet leaves the probe.
enum class IcmpVerdict {
    kAnswered,    // the echo reply to our request
    kIgnored,     // someone else's packet: wait again
    kNotAnswered, // the target refused, or the packet is malformed
};

// The ICMP message inside a packet read from a raw socket (IP header first),
// or nothing when the packet is shorter than its IP header plus 8 bytes.
[[nodiscard]] std::optional<std::span<const std::uint8_t>> IcmpMessageOf(
    std::span<const std::uint8_t> packet);

// Judges an ICMP message of at least 8 bytes that came from the target, by
// its type first: our echo reply (our identifier, sequence 0) answers; other
// echo replies, echo requests and time-exceeded messages are waited past;
// every other type, an error such as destination unreachable, ends the probe.
[[nodiscard]] IcmpVerdict JudgeIcmpMessage(
    std::span<const std::uint8_t> message, std::uint16_t identifier);

// The address (host order) an echo goes to: dotted decimal, else a host
// name resolved to its first IPv4 address. None when there is none.
[[nodiscard]] std::optional<std::uint32_t> ResolveEchoTarget(std::string_view target);

// Sends one echo request to target (dotted decimal, else a host name resolved
// to its first IPv4 address) and waits for the reply: 0 when it came, -1
// otherwise. The probe ends at the latest timeOut milliseconds after the
// send, however many other packets arrive meanwhile: a raw socket sees all
// ICMP reaching the machine, and a wait restarted by each of them could last
// for as long as that traffic goes on.
[[nodiscard]] int IcmpEcho(
    std::uint32_t timeOut, std::string_view target, const IcmpSocket& socket);

// Runs the system's ping for one echo with a wait of timeOut milliseconds:
// 0 when it saw a reply, -1 otherwise. A target that is empty or begins with
// '-' is refused without running anything; the target never reaches a shell.
[[nodiscard]] int PingCommand(std::string_view target, std::uint32_t timeOut);

// How a host is probed: our own echo request, or the system's ping command.
enum class ProbeMethod {
    kOwnEcho,
    kSystemPing,
};

// One probe with a wait of timeOut milliseconds. Our own echo falls back to
// the system ping when no ICMP socket can be opened. 1 when the target
// answered, else 0.
[[nodiscard]] int ProbeHost(std::string_view target, std::uint32_t timeOut, ProbeMethod method);

} // namespace pondel
