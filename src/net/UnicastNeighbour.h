#pragma once

#include <cstdint>
#include <memory>
#include <stop_token>
#include <string>

#include "MacAddress.h"

namespace pondel {

// The link-layer side of a wake-up's datagram to the host itself. A sleeping
// host no longer answers address resolution, so once its neighbour entry is
// gone the kernel holds the datagram, asks the link in vain and drops it.
// Where the process may, a temporary entry for the host's MAC lets the
// datagram leave at once; otherwise the entry is watched, so that a drop is
// told rather than passed over. One system version per system (linux/).
class UnicastNeighbour final {
public:
    enum class Outcome : std::uint8_t {
        kLeft,    // the datagram could leave: a usable or temporary entry
        kDropped, // resolution failed: the kernel dropped the datagram
        kUnknown, // no answer either way in the time the kernel takes
    };

    // Before the first datagram. Does nothing (and Settle gives kLeft) when
    // the host is not directly on a link of this computer: a gateway is then
    // the neighbour, and it is awake.
    UnicastNeighbour(std::uint32_t address, const MacAddress& mac);
    ~UnicastNeighbour();
    UnicastNeighbour(const UnicastNeighbour&) = delete;
    UnicastNeighbour& operator=(const UnicastNeighbour&) = delete;

    // Before each datagram: renews the temporary entry, if there is one.
    void Renew();

    // After the last datagram: waits, while the kernel may still be asking
    // and no stop is requested, for how the resolution ended.
    [[nodiscard]] Outcome Settle(std::stop_token stop);

    // Why the datagram was dropped, for a kDropped outcome.
    [[nodiscard]] std::string Reason() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace pondel
