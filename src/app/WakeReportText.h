#pragma once

#include <string>
#include <string_view>

#include "WakeRequest.h"

namespace pondel {

// The short name of a path: "directed", "limited", "unicast", "ipv6", "raw".
[[nodiscard]] std::string_view WakePathName(WakePath path) noexcept;

// One datagram or frame as the console prints it, fields separated by one
// blank, "-" for a port or interface it has none of:
//   path destination port interface length [result]
// The result follows once something was tried: "sent", "skipped: reason",
// "failed: reason", "not-delivered: reason", or "not-sent" for a line a
// stop left out. A line skipped while planning shows it in a dry run too.
[[nodiscard]] std::string WakeLineText(const WakeSendLine& line, bool withResult);

// What a wake-up did, in one line: "12 packets on 4 paths, 1 skipped",
// followed by the failed and the undelivered ones when there are any.
// Skipped counts paths; the other figures count datagrams and frames.
[[nodiscard]] std::string WakeSummaryText(const WakeReport& report);

} // namespace pondel
