#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "AppSettings.h"
#include "HostList.h"
#include "HostTexts.h"
#include "ListLocks.h"
#include "WakeRequest.h"
#include "WindowSide.h"

namespace pondel {

// The network services the wake-up uses; tests put stand-ins here.
// sendWake is called on worker threads, several at once.
struct WakeNetwork {
    std::function<WakeReport(const WakeRequest& request, std::stop_token stop)> sendWake;
    std::function<std::uint32_t(std::uint32_t address)> netMaskOf;
    std::function<bool(std::uint32_t address, std::uint32_t netMask)> isOnLocalNetwork;
};

// The real ones: SendWake, GetNetMask and IsOnLocalNetwork.
[[nodiscard]] WakeNetwork SystemWakeNetwork();

// What the wake-up works on; everything belongs to the main window and is
// used on its thread.
struct WakeContext {
    const HostList& hosts;
    const AppSettings& settings; // PORT_NO, CHECK_NETWORK_SEGMENT, the WAKE_ keys
    ListLocks& locks;
    HostTexts& currentHost;
    WindowSide& window;
    WakeNetwork network = SystemWakeNetwork();
};

// A host as the list held it when the wake began, to find its row again
// at the end.
struct WakeHostKey {
    std::string hostName;
    std::string ipAddr;
    std::string macAddr;
};

// One host of a wake-up, with what became of its datagrams and frames.
struct HostWake {
    std::int32_t row = 0;
    WakeHostKey key;
    WakeRequest request;
    WakeReport report;
};

// Everything one Wake Up command does, from the window's questions to the
// reports of the worker.
struct WakeBatch {
    std::vector<std::int32_t> rows; // the selected rows in list order
    bool broadcast = true;          // Wake Up rather than Wake Up (Non Broadcast)
    std::optional<WakeHostKey> firstHost;
    std::uint64_t listGeneration = 0;
    // Rows tried (sent, declined or failed); rows without address or MAC
    // are not.
    int attempts = 0;
    std::vector<HostWake> hosts; // those to send to
    // Rows that failed before anything was sent, with their reason.
    std::vector<std::pair<std::int32_t, HostFailure>> refused;
};

// Wake Up (broadcast) and Wake Up (Non Broadcast), on the window's thread:
// asks the other-network question and refuses rows without address or MAC,
// in list order, and builds a request for each row to be woken. Nothing is
// sent. No rows at all when a collection runs or nothing is selected (which
// is said).
[[nodiscard]] WakeBatch PrepareWake(
    const std::vector<std::int32_t>& selectedRows, bool broadcast, WakeContext& context);

// Sends the batch's requests on up to a few threads at once and keeps each
// report with its host. Any thread; returns early once `stop` is requested.
void SendWakeBatch(WakeBatch& batch, const WakeNetwork& network, std::stop_token stop = {});

// The end of a wake-up, on the window's thread, once the reports are in:
// tells what could not be woken (one row by its own message, several in one
// list), then FollowUpWake.
void FinishWake(const WakeBatch& batch, WakeContext& context);

// What the window does after a wake-up: remembers the first selected row as
// the default host and has the woken hosts checked again (one host at once,
// several by a pass). The one place that acts on a wake's end. The rows are
// those of the list when the wake began; a list changed meanwhile is
// searched for the host, and one no longer found (or a list a collection
// holds) is neither remembered nor checked.
void FollowUpWake(const WakeBatch& batch, WakeContext& context);

// Whether nothing at all went out for a host: its failure, with the
// system's reason for the first datagram or frame that failed.
[[nodiscard]] std::optional<HostFailure> SendFailure(const HostWake& host);

// What a wake-up sent, for the status bar.
struct WakeSummary {
    std::size_t hosts = 0;
    std::string hostName; // of the only host
    std::size_t sent = 0;
    std::size_t paths = 0; // paths at least one datagram or frame went out on
    std::size_t skipped = 0;
    std::size_t failed = 0; // refused by the system or not delivered
};
[[nodiscard]] WakeSummary SummarizeWake(const WakeBatch& batch);

// The single-host message for a failure: the message, or the system's text.
void ShowHostFailure(const HostFailure& failure, WindowSide& window);

} // namespace pondel
