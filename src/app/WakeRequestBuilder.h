#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "AppSettings.h"
#include "MessageId.h"
#include "WakeRequest.h"

namespace pondel {

// The texts of the host a wake-up is for.
struct WakeTarget {
    std::string_view ipAddr;
    std::string_view netMask; // the assumed one where the host has none
    std::string_view macAddr;
    std::string_view interfaceName;
    std::string_view secureOn;
};

// The request for one host, or the message that says why none can be made.
struct BuiltWakeRequest {
    WakeRequest request;
    std::optional<MessageId> refusal;
};

// The ports of WAKE_EXTRA_PORTS that read, each once; a text that does not
// read as a whole still gives the ports written right.
[[nodiscard]] std::vector<std::uint16_t> ExtraPorts(std::string_view text);

// The window's wake-up of one host: the directed broadcast (or, without
// broadcast, the datagram to the host itself) plus the paths of WAKE_PATHS;
// PORT_NO, then the ports of WAKE_EXTRA_PORTS that are not PORT_NO; the
// rounds of WAKE_REPEAT_COUNT, WAKE_REPEAT_INTERVAL apart; the host's own
// interface and SecureOn password. Extra ports that do not read as ports are
// left out; a MAC address or a SecureOn password that does not read, or an
// interface name no interface can have, is refused.
[[nodiscard]] BuiltWakeRequest BuildWakeRequest(
    const WakeTarget& target, const AppSettings& settings, bool broadcast);

} // namespace pondel
