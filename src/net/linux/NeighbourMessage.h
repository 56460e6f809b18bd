#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "MacAddress.h"
#include "RtNetlink.h"

// Reading the kernel's neighbour messages: what a dump of the neighbour
// table or a change notification says about one address on one link.
namespace pondel::system_network {

struct NeighbourAnswer {
    enum class Kind {
        kPending,
        kFound,
        kFailed
    } kind = Kind::kPending;
    MacAddress mac{};
};

// The answer a neighbour message gives for an address (host order) on an
// interface; none when the message is about something else or malformed.
[[nodiscard]] std::optional<NeighbourAnswer> ReadNeighbour(
    const rtnetlink::Message& message, std::uint32_t address, int interfaceIndex);

// The first settled answer (found or failed) among the messages; pending
// when none has one.
[[nodiscard]] NeighbourAnswer FirstAnswer(
    const std::vector<rtnetlink::Message>& messages, std::uint32_t address, int interfaceIndex);

} // namespace pondel::system_network

namespace pondel::system_network {

// Everything a neighbour message says about one entry, whoever it is for.
struct NeighbourEntry {
    bool removed = false; // RTM_DELNEIGH: the entry is gone
    int interfaceIndex = 0;
    std::uint32_t address = 0; // host order
    std::uint16_t state = 0;   // NUD_* bits
    std::optional<MacAddress> mac;
    // How long ago the link last confirmed the entry; none when not told.
    std::optional<std::chrono::milliseconds> confirmedAgo;
};

// The IPv4 entry a neighbour message is about; none for anything else.
[[nodiscard]] std::optional<NeighbourEntry> ReadNeighbourEntry(const rtnetlink::Message& message);

} // namespace pondel::system_network
