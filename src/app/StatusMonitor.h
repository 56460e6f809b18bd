#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "AutoResetEvent.h"
#include "HostList.h"
#include "ListLocks.h"
#include "ProbeRun.h"
#include "Result.h"

namespace pondel {

// What the status monitor tells the window. The calls come on the monitor
// thread, except the progress 0 of RequestStatusPass, which comes on its
// caller's thread. The window hands each call on to its
// own thread as a queued call, which keeps their order, and never blocks in
// them or takes a lock of ListLocks there.
class StatusMonitorListener {
public:
    virtual ~StatusMonitorListener() = default;

    // The probes of `done` of `total` hosts have started: 0 when a pass is
    // asked for, then counting up as the pass goes.
    virtual void OnPassProgress(std::int32_t done, std::int32_t total) = 0;
    // A pass ended, run through, stopped early or not begun at all: the
    // marks should show the flags now.
    virtual void OnPassEnded() = 0;
    // A pass could not begin because the probe could not be readied; the
    // error's message is the text to show. OnPassEnded follows.
    virtual void OnProbeFailed(const ErrorInfo& error) = 0;
    // The hosts of one RequestHostChecks have been probed (or the probe
    // could not be readied, told by OnProbeFailed just before): their flags
    // are final. `indexes` are those of the request.
    virtual void OnHostsChecked(const std::vector<std::int32_t>& indexes) = 0;
};

// What the monitor asks of the system; tests put stand-ins here.
struct MonitorServices {
    ProbeRunOpener openProbe = OpenProbeRun;
    // The netmask to assume for a host without one (host order).
    std::function<std::uint32_t(std::uint32_t)> netMaskOf;
    // Reads this computer's networks once and answers netMaskOf from that
    // reading; a pass asks for it once. Without it, netMaskOf is used.
    std::function<std::function<std::uint32_t(std::uint32_t)>()> readNetMasks;
};

// Finds out which hosts of the list answer and stores it in their active
// flags. Passes over all hosts and checks of single hosts both run on the
// monitor thread, when RequestStatusPass and RequestHostChecks ask, probing
// the hosts at once at the settings' pace; the asking thread never waits.
//
// The host list is read under ProbeLock; each active flag is written under
// ViewLock, so the window reads the flags under ViewLock alone. The monitor
// writes nothing else.
class StatusMonitor final {
public:
    StatusMonitor(HostList& hosts, ListLocks& locks, StatusMonitorListener& listener,
        MonitorServices services = {});
    // Stops the thread.
    ~StatusMonitor();
    StatusMonitor(const StatusMonitor&) = delete;
    StatusMonitor& operator=(const StatusMonitor&) = delete;

    // Starts the monitor thread, which then waits for requests.
    void Start();
    // Stops a running pass and ends the thread. Returns once the probes
    // under way have ended: one probe's time.
    void Stop();

    // Used from the next pass or check on.
    void SetProbeSettings(const ProbeSettings& settings);

    // Asks for a pass over all hosts; a running pass stops, its hosts still
    // unjudged keeping their flags, and no second one follows it. While a sweep runs, only the
    // progress 0 of N is given. To be called on the thread that changes the host list.
    void RequestStatusPass();

    // Asks for the hosts at `indexes` to be probed on the monitor thread, in
    // one run; a running pass stops at its next host (and is not taken up
    // again). OnHostsChecked follows. Indexes at or beyond the count when
    // the check runs are skipped. Requests not yet begun when the monitor
    // stops are dropped.
    void RequestHostChecks(std::vector<std::int32_t> indexes);

    // Asks a running pass to stop at its next host; nothing when none runs.
    void StopPass();

    // Probes the hosts at `indexes` now on the calling thread, or, with no
    // indexes and `wholePass`, all hosts as the monitor thread's pass does
    // (only while the monitor runs). Reads the hosts under ProbeLock and
    // probes them without it; verdicts that come after a change of the list
    // are dropped. Fails, probing nothing, when the probe cannot be readied.
    Result<void> CheckHosts(const std::vector<std::int32_t>& indexes, bool wholePass = false);

private:
    class PassEvents;

    void MonitorThread();
    void RunPass();
    void RunRequestedChecks();
    // Hosts without an address, and broadcast addresses, are not probed
    // and keep their flag. `netMaskOf` answers for hosts without a netmask.
    [[nodiscard]] static bool IsProbed(
        const tHostInfo& host, const std::function<std::uint32_t(std::uint32_t)>& netMaskOf);
    ProbeSettings CurrentProbeSettings();

    HostList& hosts_;
    ListLocks& locks_;
    StatusMonitorListener& listener_;
    MonitorServices services_;

    AutoResetEvent CheckRequestEvent;
    std::atomic<bool> MonitorRunning{false};
    std::thread thread_;

    std::mutex settingsMutex_;
    ProbeSettings probeSettings_;

    std::atomic<bool> passRequested_{false};
    std::atomic<bool> passRunning_{false};
    std::mutex checksMutex_;
    std::vector<std::vector<std::int32_t>> requestedChecks_;
};

} // namespace pondel
