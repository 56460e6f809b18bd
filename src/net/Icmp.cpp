#include "Icmp.h"

#include <cstring>
#include <utility>
#include <vector>

#include "AsciiText.h"
#include "Ipv4Text.h"
#include "ProcessId.h"
#include "SystemNetwork.h"

namespace pondel {
namespace {

constexpr std::uint8_t kRequestFill = 0xCC;

std::uint16_t ReadNetworkOrder(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>((bytes[offset] << 8) | bytes[offset + 1]);
}

} // namespace

std::uint16_t IcmpChecksum(std::span<const std::uint8_t> data)
{
    std::uint32_t sum = 0;
    std::size_t offset = 0;
    for (; offset + 1 < data.size(); offset += 2) {
        std::uint16_t word = 0;
        std::memcpy(&word, data.data() + offset, sizeof word);
        sum += word;
    }
    if (offset < data.size()) {
        // The odd byte is the first byte of a word padded with zero, which
        // on a little-endian machine is simply its value.
        const std::uint8_t last[2] = {data[offset], 0};
        std::uint16_t word = 0;
        std::memcpy(&word, last, sizeof word);
        sum += word;
    }
    sum = (sum >> 16) + (sum & 0xFFFFu);
    sum += sum >> 16;
    return static_cast<std::uint16_t>(~sum & 0xFFFFu);
}

IcmpRequest BuildEchoRequest(std::uint16_t identifier, std::uint16_t sequence)
{
    IcmpRequest request{};
    request[0] = kIcmpEchoRequest;
    request[4] = static_cast<std::uint8_t>(identifier >> 8);
    request[5] = static_cast<std::uint8_t>(identifier & 0xFFu);
    request[6] = static_cast<std::uint8_t>(sequence >> 8);
    request[7] = static_cast<std::uint8_t>(sequence & 0xFFu);
    std::memset(request.data() + kIcmpHeaderSize, kRequestFill, request.size() - kIcmpHeaderSize);
    const std::uint16_t checksum = IcmpChecksum(request);
    std::memcpy(request.data() + 2, &checksum, sizeof checksum);
    return request;
}

std::uint16_t ProcessEchoIdentifier()
{
    // The low byte goes first on the wire, whatever the machine's order.
    const auto pid = CurrentProcessId();
    return static_cast<std::uint16_t>(((pid & 0xFFu) << 8) | ((pid >> 8) & 0xFFu));
}

IcmpSocket::IcmpSocket(SocketHandle handle, IcmpSocketKind kind, std::uint16_t identifier)
    : handle_(std::move(handle))
    , kind_(kind)
    , identifier_(identifier)
    , request_(BuildEchoRequest(identifier))
{
}

std::optional<std::span<const std::uint8_t>> IcmpMessageOf(std::span<const std::uint8_t> packet)
{
    if (packet.empty())
        return std::nullopt;
    const std::size_t headerLength = (packet[0] & 0x0Fu) * 4u;
    if (packet.size() < headerLength + kIcmpHeaderSize)
        return std::nullopt;
    return packet.subspan(headerLength);
}

std::optional<EchoReplyFields> ReadEchoReply(std::span<const std::uint8_t> message)
{
    if (message.size() < kIcmpHeaderSize || message[0] != kIcmpEchoReply)
        return std::nullopt;
    return EchoReplyFields{ReadNetworkOrder(message, 4), ReadNetworkOrder(message, 6)};
}

IcmpVerdict JudgeIcmpMessage(std::span<const std::uint8_t> message, std::uint16_t identifier)
{
    if (message.size() < kIcmpHeaderSize)
        return IcmpVerdict::kNotAnswered;
    // Bytes 4 to 7 are identifier and sequence only in echo messages; an
    // error message keeps other things there (the next hop's MTU, a
    // redirect's gateway), which must not hide the error.
    switch (message[0]) {
    case kIcmpEchoReply: {
        const EchoReplyFields fields = *ReadEchoReply(message);
        return fields.identifier == identifier && fields.sequence == 0 ? IcmpVerdict::kAnswered
                                                                       : IcmpVerdict::kIgnored;
    }
    case kIcmpTimeExceeded:
        return IcmpVerdict::kIgnored;
    case kIcmpEchoRequest:
        // A raw socket also sees the requests that arrive, our own among
        // them when the target is this machine; none of them is an answer.
        return IcmpVerdict::kIgnored;
    default:
        return IcmpVerdict::kNotAnswered;
    }
}

int ProbeHost(std::string_view target, std::uint32_t timeOut, ProbeMethod method)
{
    // Without an ICMP socket of our own the system ping stands in.
    if (method == ProbeMethod::kOwnEcho) {
        if (const Result<IcmpSocket> socket = IcmpOpen())
            return IcmpEcho(timeOut, target, socket.Value()) == 0 ? 1 : 0;
    }
    return PingCommand(target, timeOut) == 0 ? 1 : 0;
}

std::optional<std::uint32_t> ResolveEchoTarget(std::string_view target)
{
    target = CutAtNul(target);
    if (target.empty())
        return std::nullopt;
    const std::uint32_t numeric = TextToIp(target);
    if (numeric != kInvalidIp)
        return numeric;
    const std::vector<std::uint32_t> addresses = system_network::ResolveIpv4(target);
    if (addresses.empty())
        return std::nullopt;
    return addresses.front();
}

} // namespace pondel
