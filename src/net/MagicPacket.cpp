#include "net/MagicPacket.h"

#include <algorithm>
#include <cerrno>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "model/Ipv4Text.h"
#include "net/SocketHandle.h"

namespace pondel {

MagicPacket BuildMagicPacket(const MacAddress& mac)
{
    MagicPacket packet;
    std::fill_n(packet.begin(), 6, std::uint8_t{0xFF});
    for (std::size_t offset = 6; offset < packet.size(); offset += mac.size())
        std::copy(mac.begin(), mac.end(), packet.begin() + static_cast<std::ptrdiff_t>(offset));
    return packet;
}

std::uint32_t MagicPacketDestination(std::uint32_t ip, std::uint32_t netMask, bool broadcast)
{
    return broadcast ? (ip | ~netMask) : ip;
}

int SendMagicPacket(std::string_view ip, std::string_view netMask, std::string_view mac,
    bool broadcast, std::uint16_t port)
{
    if (ip.empty())
        return kMagicPacketNoIp;
    MacAddress target{};
    if (ParseMacAddress(mac, target) != 0)
        return kMagicPacketBadMac;

    const SocketHandle socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!socket)
        return kMagicPacketNoSocket;

    if (broadcast) {
        const int on = 1;
        if (setsockopt(socket.Get(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0)
            return kMagicPacketNoBroadcast;
    }

    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    destination.sin_port = htons(port);
    destination.sin_addr.s_addr =
        htonl(MagicPacketDestination(TextToIp(ip), TextToIp(netMask), broadcast));

    const MagicPacket packet = BuildMagicPacket(target);
    if (sendto(socket.Get(), packet.data(), packet.size(), 0,
            reinterpret_cast<const sockaddr*>(&destination), sizeof destination) < 0)
        return kMagicPacketSendFailed;
    return kMagicPacketSent;
}

} // namespace pondel
