#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QObject>

#include "AppSettings.h"
#include "WakeWatcher.h"

namespace pondel {

class CommandSurfaces;
class HostTableModel;
class WakeRelay;

// The window's woken hosts: each is watched on the watcher's thread until it
// answers or WAKE_CONFIRM_TIMEOUT passes, and its rows show it waking, then
// up or not answering; the tray icon tells either outcome. The state
// belongs to the host (its address and MAC), so it moves with its rows, and
// ends when no row shows the host any more. Everything here runs on the
// window's thread; the watcher's news comes as queued calls.
class WakingRows final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WakingRows)

public:
    // `recheck` has rows probed by the status monitor, whose flags then
    // confirm an answer.
    WakingRows(HostTableModel& model, const AppSettings& settings, CommandSurfaces& surfaces,
        std::function<void(const std::vector<int>&)> recheck);
    // Stop.
    ~WakingRows() override;

    // Watches the hosts of these rows, just woken as `broadcast` says;
    // nothing when WAKE_CONFIRM_TIMEOUT is 0.
    void Watch(const std::vector<std::int32_t>& rows, bool broadcast);
    // Ends all watching within one probe; the rows keep what they show.
    void Stop();
    // What the watcher probes with (tests).
    void UseProbeOpener(ProbeRunOpener openProbe);

    // The relay's calls.
    void OnTick(const WakeWatchKey& key, std::uint32_t seconds);
    void OnEnded(const WakeWatchKey& key, WakeWatchEnd end, std::uint32_t seconds);

private:
    void OnAnswered(const WakeWatchKey& key);
    void ShowOutcome(
        const WakeWatchKey& key, WakeWatchEnd end, std::uint32_t seconds, bool recheck);
    [[nodiscard]] bool IsWaking(const WakeWatchKey& key) const;
    // Once per turn of the event loop after the rows changed.
    void SchedulePrune();
    void Prune();

    HostTableModel& model_;
    const AppSettings& settings_;
    CommandSurfaces& surfaces_;
    std::function<void(const std::vector<int>&)> recheck_;
    bool pruneScheduled_ = false;
    std::unique_ptr<WakeRelay> relay_;
    std::unique_ptr<WakeWatcher> watcher_;
};

} // namespace pondel
