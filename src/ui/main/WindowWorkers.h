#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include <QObject>
#include <QPointer>

#include "AppSettings.h"
#include "CCollectProcDlg.h"
#include "CollectRange.h"
#include "HostList.h"
#include "HostTexts.h"
#include "ListLocks.h"
#include "WorkServices.h"

namespace pondel {

class CPondelDlg;
class PondelWindowSide;
class StatusRelay;
class SweepRelay;
class WindowWake;

// The main window's work off its own thread: the status monitor, the address
// sweep, the wake-ups and the remote shutdown commands, with the relays that bring their
// reports back as queued calls. It holds the one "collection running" state:
// from the moment a sweep is asked for until its thread has ended, lookups
// after Stop included; the commands that change the list wait for that end.
//
// Everything here is called on the window's thread, and nothing here waits
// for the network, a child process or a lock a worker holds.
class WindowWorkers final : public QObject {
public:
    WindowWorkers(CPondelDlg& window, std::filesystem::path settingsPath, AppSettings& settings,
        HostList& hosts, ListLocks& locks, HostTexts& currentHost);
    // Stop.
    ~WindowWorkers() override;
    WindowWorkers(const WindowWorkers&) = delete;
    WindowWorkers& operator=(const WindowWorkers&) = delete;

    // Replaces what the background work asks of the system; not while a
    // collection runs.
    void UseServices(WorkServices services);
    // Ends the sweep, the monitor and the shutdown commands, each after its
    // step in progress; the hosts found so far stay in the list.
    void Stop();

    [[nodiscard]] bool CollectRunning() const noexcept { return collecting_; }

    // Hands NO_EXTERNAL_COMMAND and ICMP_TIME_OUT to the status monitor.
    void ApplyProbeSettings();
    // A pass over all hosts; during a collection, only pane 1 shows the
    // request.
    void RequestStatusPass();
    // Asks a running pass to stop at its next host.
    void StopPass();
    // Has the hosts of these rows probed on the monitor's thread, in one
    // run; their marks follow once it has.
    void RecheckHosts(const std::vector<int>& rows);

    // Returns once the packets are handed to a worker; the window hears of
    // the end.
    void WakeSelected(const std::vector<int>& rows, bool broadcast);
    // The Last Wake view.
    void ShowLastWake();
    // `rows` are the window's own rows, which a sweep does not touch.
    void ShutdownSelected(const HostList& rows, const std::vector<int>& selected);
    // Asks for the range, then starts the sweep.
    void CollectHosts();

    // The relays' calls, on the window's thread.
    void OnPassProgress(std::int32_t done, std::int32_t total);
    void OnPassEnded();
    void OnProbeFailed(const ErrorInfo& error);
    void OnHostsChecked(const std::vector<std::int32_t>& rows);
    void OnSweepProgress(std::uint32_t address);
    void OnSweepDetected(std::int32_t detectCount);
    void OnSweepFinished(SweepEnd end);

    // For the wake-up and shutdown commands' window side.
    void WriteDefaultHost(int row);

private:
    void MakeWorkers();
    void EndCollect(bool hostsAdded);
    void RunShutdownBatch(std::vector<ShutdownJob> jobs);
    void OnShutdownResult(const ShutdownResult& result);
    void OnShutdownBatchEnded(int batch);
    // The wait cursor while a collection or a shutdown command runs.
    void UpdateBusyCursor();

    CPondelDlg& window_;
    const std::filesystem::path settingsPath_;
    AppSettings& settings_;
    HostList& hosts_;
    ListLocks& locks_;
    HostTexts& currentHost_;

    WorkServices services_;
    std::unique_ptr<PondelWindowSide> windowSide_;
    std::unique_ptr<StatusRelay> statusRelay_;
    std::unique_ptr<SweepRelay> sweepRelay_;
    std::unique_ptr<StatusMonitor> monitor_;
    std::unique_ptr<AddressSweep> sweep_;
    std::unique_ptr<WindowWake> wake_;

    bool collecting_ = false;
    QPointer<CCollectProcDlg> progressDialog_;
    CollectRange collectRange_;
    bool probeFailureShowing_ = false;

    std::map<int, std::jthread> shutdownWorkers_;
    int nextShutdownBatch_ = 0;
    std::deque<ShutdownResult> shutdownResults_;
    bool shutdownResultShowing_ = false;
};

} // namespace pondel
