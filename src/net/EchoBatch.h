#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

#include "Icmp.h"

namespace pondel {

// Requests a second that a LAN carries without anyone noticing: a few
// hundred kilobits.
inline constexpr std::uint32_t kDefaultEchoRate = 4000;

// One batch: `count` targets, each waited for `timeOut` after its request,
// requests sent no faster than `rate` a second. A rate of 0 sends each
// request only once the one before it was answered or gave up.
struct EchoBatchPlan {
    std::uint64_t count = 0;
    std::chrono::milliseconds timeOut{30};
    std::uint32_t rate = kDefaultEchoRate;
};

// What a batch asks of its caller and tells it. Every call comes on the
// thread that runs the batch.
class EchoBatchEvents {
public:
    virtual ~EchoBatchEvents() = default;

    // The address (host order) of target `index`; none when it has none,
    // which counts as no answer.
    virtual std::optional<std::uint32_t> AddressOf(std::uint64_t index) = 0;
    // Asked between steps and at least every few milliseconds while the
    // batch waits; true ends it at once, and the targets still waiting then
    // get no result.
    virtual bool ShouldStop() = 0;
    // Target `index` has been dealt with: its request went out, or it could
    // not be sent.
    virtual void OnSent(std::uint64_t index) = 0;
    // The verdict on target `index`, once: answered within its timeout, or
    // not.
    virtual void OnResult(std::uint64_t index, bool answered) = 0;
};

// Probes every target over one ICMP socket: the requests go out paced, and
// the replies are matched by sender, identifier and sequence number as they
// come. The batch ends one timeout after its last request at the latest,
// sooner when every request has been answered.
void RunEchoBatch(const IcmpSocket& socket, const EchoBatchPlan& plan, EchoBatchEvents& events);

} // namespace pondel
