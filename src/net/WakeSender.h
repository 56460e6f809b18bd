#pragma once

#include <stop_token>
#include <vector>

#include "WakeRequest.h"

namespace pondel {

// The datagrams and frames a wake-up would send, in the order it sends
// them, each marked kPlanned. Nothing goes out.
[[nodiscard]] std::vector<WakeSendLine> PlanWake(const WakeRequest& request);

// Sends the wake-up, round after round, and tells what became of every
// datagram and frame. A stop request ends it between rounds.
[[nodiscard]] WakeReport SendWake(const WakeRequest& request, std::stop_token stop = {});

// Whether at least one datagram or frame went out.
[[nodiscard]] bool AnySent(const WakeReport& report) noexcept;

} // namespace pondel
