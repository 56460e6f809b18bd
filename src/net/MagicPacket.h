#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "MacAddress.h"

namespace pondel {

inline constexpr std::size_t kMagicPacketSize = 102;
using MagicPacket = std::array<std::uint8_t, kMagicPacketSize>;

// Six 0xFF bytes, then the MAC sixteen times.
[[nodiscard]] MagicPacket BuildMagicPacket(const MacAddress& mac);

// A SecureOn password: six bytes after the packet, which a card set up with
// one wants before it wakes.
inline constexpr std::size_t kSecureOnSize = 6;
inline constexpr std::size_t kSecureOnPacketSize = kMagicPacketSize + kSecureOnSize;

// The packet, with the password appended when there is one.
[[nodiscard]] std::vector<std::uint8_t> BuildWakePayload(
    const MacAddress& mac, const std::optional<std::array<std::uint8_t, kSecureOnSize>>& secureOn);

// Where the packet goes: the directed broadcast address of the target's
// network, or the target itself. Host-order values.
[[nodiscard]] std::uint32_t MagicPacketDestination(
    std::uint32_t ip, std::uint32_t netMask, bool broadcast);

// Result codes of SendMagicPacket, in the order the conditions are tested.
enum MagicPacketResult : int {
    kMagicPacketSent = 0,
    kMagicPacketNoIp = -1,
    kMagicPacketBadMac = -2,
    kMagicPacketNoSocket = -3,
    kMagicPacketNoBroadcast = -4,
    kMagicPacketSendFailed = -5,
};

// What SendMagicPacket did: one of the codes above, and for -3 to -5 the
// system's error number, kept with the code so that it can be told later on
// any thread.
struct MagicPacketOutcome {
    int status = kMagicPacketSent;
    int systemError = 0;
};

// Sends one Wake-on-LAN datagram for mac.
[[nodiscard]] MagicPacketOutcome SendMagicPacket(std::string_view ip, std::string_view netMask,
    std::string_view mac, bool broadcast, std::uint16_t port);

} // namespace pondel
