#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "EchoBatch.h"
#include "MacAddress.h"

// Asking the local link which hardware address answers for an address (an
// ARP request), without privileges: the kernel asks the link when it has a
// datagram for an address it does not know yet, and its neighbour table then
// says who answered.
namespace pondel {

// How many of our requests may wait for an answer at one time when the
// system does not say how large its neighbour table may grow.
inline constexpr std::size_t kDefaultNeighbourTableLimit = 1024;

struct NeighbourProbePlan {
    // How long an address has to answer after its request.
    std::chrono::milliseconds wait{30};
    // Requests a second; 0 sends one only when the one before it is settled.
    std::uint32_t rate = kDefaultEchoRate;
    // Requests whose entries may be unsettled in the neighbour table at one
    // time; 0 takes half the system's limit (gc_thresh3), so that a large
    // range never crowds out the entries of this computer's own traffic.
    std::size_t inFlightLimit = 0;
};

struct LinkAnswer {
    // The address lies in a network of one of this computer's interfaces
    // (not its network or broadcast address); only then is the link asked.
    bool onLink = false;
    // The hardware address that answered, or this computer's own for one of
    // its own addresses; none when nothing answered in time.
    std::optional<MacAddress> mac;
};

// Asks the link about every address (host order) that lies on it, at the
// plan's pace, and returns one answer per address in their order. An entry
// the system confirmed within the last minutes counts as an answer at once;
// the request still goes out, so that the system checks it again. A stop
// ends the probing within one poll interval, the rest getting no answer.
[[nodiscard]] std::vector<LinkAnswer> ProbeNeighbours(std::span<const std::uint32_t> addresses,
    const NeighbourProbePlan& plan, const std::function<bool()>& shouldStop);

} // namespace pondel
