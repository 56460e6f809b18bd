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

// Wake Up (broadcast) and Wake Up (Non Broadcast): wakes every selected row
// that can be woken, in list order; then remembers the first selected row as
// the default host and has the marks checked again. A single row's failure is
// shown as its own message; with several rows, one message afterwards lists
// each host that could not be woken and why.
void WakeSelectedHosts(
    const std::vector<std::int32_t>& selectedRows, bool broadcast, WakeContext& context);

// How the wake-up of one row ended.
enum class WakeEnd {
    kSent,
    kRefused,  // no address or no MAC: nothing was tried
    kDeclined, // the user said No to the other-network question
    kFailed,   // the packet could not be sent
};

struct WakeOutcome {
    WakeEnd end = WakeEnd::kSent;
    HostFailure failure; // for kRefused and kFailed
};

// Wakes one row without showing a failure; the caller reports it.
[[nodiscard]] WakeOutcome WakeHost(std::int32_t row, bool broadcast, WakeContext& context);

// Sends the packet with PORT_NO; returns SendMagicPacket's outcome.
[[nodiscard]] WakeSendOutcome SendWakePacket(std::string_view ip, std::string_view netMask,
    std::string_view mac, bool broadcast, WakeContext& context);

// The single-host message for a failure: the message, or the system's text.
void ShowHostFailure(const HostFailure& failure, WindowSide& window);

} // namespace pondel
