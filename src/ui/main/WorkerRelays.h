#pragma once

#include "AddressSweep.h"
#include "StatusMonitor.h"

namespace pondel {

class CPondelDlg;

// Hands the status monitor's notifications to the window's thread. Each is
// posted as a queued call, which keeps their order; nothing here blocks or
// takes a lock, since the monitor calls while it holds ProbeLock.
class StatusRelay final : public StatusMonitorListener {
public:
    explicit StatusRelay(CPondelDlg& window)
        : window_(window)
    {
    }

    void OnPassProgress(std::int32_t done, std::int32_t total) override;
    void OnPassEnded() override;
    void OnProbeFailed(const ErrorInfo& error) override;

private:
    CPondelDlg& window_;
};

// The same for the address sweep, which calls while it holds ProbeLock and
// ViewLock.
class SweepRelay final : public AddressSweepListener {
public:
    explicit SweepRelay(CPondelDlg& window)
        : window_(window)
    {
    }

    void OnSweepProgress(std::uint32_t address) override;
    void OnSweepDetected(std::int32_t detectCount) override;
    void OnSweepFinished(SweepEnd end) override;

private:
    CPondelDlg& window_;
};

} // namespace pondel
