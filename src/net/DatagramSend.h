#pragma once

#include <cstdint>
#include <span>

namespace pondel {

// The step at which sending one UDP datagram stopped.
enum class DatagramStep {
    kSent,
    kNoSocket,    // no socket could be opened
    kNoBroadcast, // the socket refused to broadcast
    kSendFailed,  // the system refused the datagram
};

struct DatagramOutcome {
    DatagramStep step = DatagramStep::kSent;
    int errorNumber = 0; // the system's error number when not sent
};

// Sends data in one datagram to a host-order IPv4 address and port, from a
// socket allowed to broadcast when broadcast is set.
[[nodiscard]] DatagramOutcome SendDatagram(std::uint32_t destination, std::uint16_t port,
    std::span<const std::uint8_t> data, bool broadcast);

} // namespace pondel
