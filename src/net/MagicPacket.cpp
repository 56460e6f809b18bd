#include "MagicPacket.h"

#include <algorithm>

#include "DatagramSend.h"
#include "Ipv4Text.h"

namespace pondel {

MagicPacket BuildMagicPacket(const MacAddress& mac)
{
    MagicPacket packet;
    std::fill_n(packet.begin(), 6, std::uint8_t{0xFF});
    for (std::size_t offset = 6; offset < packet.size(); offset += mac.size())
        std::copy(mac.begin(), mac.end(), packet.begin() + static_cast<std::ptrdiff_t>(offset));
    return packet;
}

std::vector<std::uint8_t> BuildWakePayload(
    const MacAddress& mac, const std::optional<std::array<std::uint8_t, kSecureOnSize>>& secureOn)
{
    const MagicPacket packet = BuildMagicPacket(mac);
    // Sized once and filled, rather than grown: GCC 12 misreads the growth
    // of a vector at -O2 as a read past the packet (-Warray-bounds).
    std::vector<std::uint8_t> payload(secureOn ? kSecureOnPacketSize : kMagicPacketSize);
    std::copy(packet.begin(), packet.end(), payload.begin());
    if (secureOn)
        std::copy(secureOn->begin(), secureOn->end(), payload.begin() + kMagicPacketSize);
    return payload;
}

std::uint32_t MagicPacketDestination(std::uint32_t ip, std::uint32_t netMask, bool broadcast)
{
    return broadcast ? (ip | ~netMask) : ip;
}

MagicPacketOutcome SendMagicPacket(std::string_view ip, std::string_view netMask,
    std::string_view mac, bool broadcast, std::uint16_t port)
{
    if (ip.empty())
        return {kMagicPacketNoIp};
    MacAddress target{};
    if (ParseMacAddress(mac, target) != 0)
        return {kMagicPacketBadMac};

    const MagicPacket packet = BuildMagicPacket(target);
    const DatagramOutcome outcome =
        SendDatagram(MagicPacketDestination(TextToIp(ip), TextToIp(netMask), broadcast), port,
            packet, broadcast);
    switch (outcome.step) {
    case DatagramStep::kSent:
        break;
    case DatagramStep::kNoSocket:
        return {kMagicPacketNoSocket, outcome.errorNumber};
    case DatagramStep::kNoBroadcast:
        return {kMagicPacketNoBroadcast, outcome.errorNumber};
    case DatagramStep::kSendFailed:
        return {kMagicPacketSendFailed, outcome.errorNumber};
    }
    return {kMagicPacketSent};
}

} // namespace pondel
