#pragma once

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
