#pragma once

#include "AddressSweep.h"
#include "StatusMonitor.h"

namespace pondel {

class WindowWorkers;

// Hands the status monitor's notifications to the window's thread. Each is
// posted as a queued call, which keeps their order; nothing here blocks or
// takes a lock.
class StatusRelay final : public StatusMonitorListener {
public:
    explicit StatusRelay(WindowWorkers& workers)
        : workers_(workers)
    {
    }

    void OnPassProgress(std::int32_t done, std::int32_t total) override;
    void OnPassEnded() override;
    void OnProbeFailed(const ErrorInfo& error) override;
    void OnHostsChecked(const std::vector<std::int32_t>& indexes) override;

private:
    WindowWorkers& workers_;
};

// The same for the address sweep, which calls while it holds ProbeLock and
// ViewLock.
class SweepRelay final : public AddressSweepListener {
public:
    explicit SweepRelay(WindowWorkers& workers)
        : workers_(workers)
    {
    }

    void OnSweepProgress(std::uint32_t address) override;
    void OnSweepDetected(std::int32_t detectCount) override;
    void OnSweepFinished(SweepEnd end) override;

private:
    WindowWorkers& workers_;
};

} // namespace pondel
