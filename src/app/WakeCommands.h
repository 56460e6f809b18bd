#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "AppSettings.h"
#include "HostList.h"
#include "HostTexts.h"
#include "ListLocks.h"
#include "MagicPacket.h"
#include "WindowSide.h"

namespace pondel {

// SendMagicPacket's status, with the system's error code for the statuses
// beyond -2.
using WakeSendOutcome = MagicPacketOutcome;

// The network services the wake-up uses; tests put stand-ins here.
struct WakeNetwork {
    std::function<WakeSendOutcome(std::string_view ip, std::string_view netMask,
        std::string_view mac, bool broadcast, std::uint16_t port)>
        sendMagicPacket;
    std::function<std::uint32_t(std::uint32_t address)> netMaskOf;
    std::function<bool(std::uint32_t address, std::uint32_t netMask)> isOnLocalNetwork;
};

// The real ones: SendMagicPacket, GetNetMask and IsOnLocalNetwork.
[[nodiscard]] WakeNetwork SystemWakeNetwork();

// What the wake-up works on; everything belongs to the main window and is
// used on its thread.
struct WakeContext {
    const HostList& hosts;
    const AppSettings& settings; // PORT_NO, CHECK_NETWORK_SEGMENT
    ListLocks& locks;
    HostTexts& currentHost;
    WindowSide& window;
    WakeNetwork network = SystemWakeNetwork();
};

// Wake Up (broadcast) and Wake Up (Non Broadcast): wakes the selected rows in
// list order, stopping at the first that cannot be woken; then remembers the
// first selected row as the default host and has the marks checked again.
void WakeSelectedHosts(
    const std::vector<std::int32_t>& selectedRows, bool broadcast, WakeContext& context);

// Wakes one row; false when it was refused, the user declined, or sending
// failed, each time after a message or the question.
bool WakeHost(std::int32_t row, bool broadcast, WakeContext& context);

// Sends the packet with PORT_NO and shows what went wrong, if anything;
// returns SendMagicPacket's status.
int SendWakePacket(std::string_view ip, std::string_view netMask, std::string_view mac,
    bool broadcast, WakeContext& context);

} // namespace pondel
