#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "MacAddress.h"

namespace pondel {

// The ways a wake-up can travel. The directed broadcast (or, without
// broadcast, the datagram to the host itself) is the wake-up everyone gets;
// the others are switched on by the user.
enum class WakePath : std::uint8_t {
    kDirectedBroadcast, // the host network's broadcast address
    kLimitedBroadcast,  // 255.255.255.255 out of the chosen interfaces
    kUnicast,           // the host's own address
    kIpv6AllNodes,      // ff02::1 on the chosen interfaces
    kRawFrame,          // an Ethernet frame of type 0x0842 to ff:ff:ff:ff:ff:ff
};

// A set of paths, one bit each; also the value of the WAKE_PATHS key.
using WakePathSet = std::uint32_t;

[[nodiscard]] constexpr WakePathSet PathBit(WakePath path) noexcept
{
    return WakePathSet{1} << static_cast<unsigned>(path);
}

// The paths that /A adds to the wake-up everyone gets.
inline constexpr WakePathSet kExtraWakePaths = PathBit(WakePath::kLimitedBroadcast) |
    PathBit(WakePath::kUnicast) | PathBit(WakePath::kIpv6AllNodes) | PathBit(WakePath::kRawFrame);

// Six bytes appended to the magic packet, written like a MAC address.
using SecureOnPassword = std::array<std::uint8_t, 6>;

// Everything one wake-up of one host needs, resolved from the host, the
// settings and the switches.
struct WakeRequest {
    std::uint32_t ip = 0; // host order; 0 when the host has no address
    std::uint32_t netMask = 0;
    MacAddress mac{};
    std::optional<SecureOnPassword> secureOn;
    // Limits the limited broadcast, IPv6 and the raw frame to one interface;
    // empty lets the host's address choose.
    std::string interfaceName;
    WakePathSet paths = PathBit(WakePath::kDirectedBroadcast);
    std::vector<std::uint16_t> ports{7};
    unsigned repeats = 1;                    // rounds, 1 to 10
    std::chrono::milliseconds interval{100}; // between rounds
    // For the unicast path taken as an extra path: make sure the datagram
    // can leave although the sleeping host no longer answers address
    // resolution (a temporary neighbour entry for its MAC where the process
    // may add one), or else find out whether it left. Off for the plain
    // datagram to the host that a wake-up without broadcast has always sent.
    bool watchNeighbour = false;
};

// What became of one datagram or frame.
enum class WakeSendState : std::uint8_t {
    kPlanned, // a dry run: nothing was sent
    kSent,
    kSkipped,      // the path could not be taken here (reason says why)
    kFailed,       // the system refused it (reason holds its text)
    kNotDelivered, // sent, but the kernel could not resolve the neighbour
};

// One datagram or frame of a wake-up.
struct WakeSendLine {
    WakePath path = WakePath::kDirectedBroadcast;
    std::string destination;   // an address, or a MAC for the raw frame
    std::uint16_t port = 0;    // 0 for the raw frame
    std::string interfaceName; // empty when the routing table chose
    int interfaceIndex = 0;    // the system's number of that interface; 0 likewise
    std::size_t length = 0;    // bytes of payload
    unsigned round = 1;
    WakeSendState state = WakeSendState::kPlanned;
    int systemError = 0;
    std::string reason;
};

// The whole of one wake-up, line by line.
struct WakeReport {
    std::vector<WakeSendLine> lines;
};

} // namespace pondel
