// Status passes, the wake-up commands and remote shutdown.
#include "PondelDlg.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>

#include "HostTableModel.h"
#include "ModalSeam.h"
#include "WaitCursor.h"
#include "PondelWindowSide.h"
#include "WorkerRelays.h"

namespace pondel {

void CPondelDlg::StartWorkers()
{
    windowSide_ = std::make_unique<PondelWindowSide>(*this);
    statusRelay_ = std::make_unique<StatusRelay>(*this);
    sweepRelay_ = std::make_unique<SweepRelay>(*this);
    MakeWorkers();
}

void CPondelDlg::MakeWorkers()
{
    monitor_ = std::make_unique<StatusMonitor>(hosts_, locks_, *statusRelay_, services_.monitor);
    ApplyProbeSettings();
    monitor_->Start();
    sweep_ = std::make_unique<AddressSweep>(hosts_, locks_, *sweepRelay_, services_.sweep);
}

void CPondelDlg::UseWorkServices(WorkServices services)
{
    if (collecting_)
        return;
    sweep_.reset();
    monitor_.reset();
    services_ = std::move(services);
    MakeWorkers();
}

void CPondelDlg::StopWorkers()
{
    const bool wasCollecting = collecting_;
    if (sweep_)
        sweep_->StopAndWait();
    if (progressDialog_)
        progressDialog_->Finish();
    progressDialog_ = nullptr;
    collecting_ = false;
    if (monitor_)
        monitor_->Stop();
    for (auto& [batch, worker] : shutdownWorkers_)
        worker.join();
    shutdownWorkers_.clear();
    // A sweep stopped here adds what it found on its way out, after its
    // last notice: the rows show the list as it stands and will be saved.
    if (wasCollecting)
        RefillHostRows();
    UpdateBusyCursor();
}

void CPondelDlg::ApplyProbeSettings()
{
    if (monitor_)
        monitor_->SetProbeSettings(StatusProbeSettings(settings_));
}

void CPondelDlg::RequestStatusPass()
{
    // The sweep holds the list: the pane shows the request, and no pass runs.
    if (collecting_ || !monitor_) {
        SetProgressText(-1, 0);
        return;
    }
    monitor_->RequestStatusPass();
}

void CPondelDlg::SetProgressText(int total, int done)
{
    if (total < 0)
        total = model_->rowCount();
    SetStatusText(1, tr("During  active status updates") + QStringLiteral(" : %1 / %2").arg(done).arg(total));
}

void CPondelDlg::OnPassEnded()
{
    // A sweep holds ViewLock for its whole run; it asks for a pass of its
    // own when it is done.
    if (collecting_)
        return;
    locks_.AbortPass = false;
    UpdateActiveMarks(-1);
    SetStatusText(1, {});
}

void CPondelDlg::UpdateActiveMarks(int index)
{
    if (collecting_)
        return;
    const std::lock_guard view(locks_.ViewLock);
    const int count = std::min(model_->rowCount(), static_cast<int>(hosts_.Count()));
    if (index >= count)
        return;
    if (index >= 0) {
        UpdateActiveMark(index);
        return;
    }
    for (int row = 0; row < count && !locks_.AbortPass; ++row)
        UpdateActiveMark(row);
}

void CPondelDlg::ShowProbeFailure(const ErrorInfo& error)
{
    // Passes that keep failing while the box is open do not pile up boxes.
    if (probeFailureShowing_)
        return;
    probeFailureShowing_ = true;
    // The first line is the system's own report and stays as it is.
    ModalSeam::Error(this,
        QString::fromStdString(error.message) + QLatin1Char('\n') +
            tr("To send echo requests itself, the program needs ICMP sockets: allow them for "
               "your group with the sysctl net.ipv4.ping_group_range, or clear \"Do not use "
               "the external command\" in the options so that the system's ping is used."));
    probeFailureShowing_ = false;
}

void CPondelDlg::RecheckHost(int row)
{
    const Result<void> checked = monitor_->CheckHostNow(row);
    if (!checked)
        ShowProbeFailure(checked.Error());
    UpdateActiveMarks(row);
}

void CPondelDlg::OnRefresh()
{
    if (model_->rowCount() > 0)
        RequestStatusPass();
    UpdateCommandState();
}

void CPondelDlg::OnActiveCheck()
{
    // Each probe would wait for the sweep's locks, that is for the whole
    // sweep, which marks the hosts it finds anyway.
    if (collecting_)
        return;
    const WaitCursor wait;
    for (const int row : SelectedRows())
        RecheckHost(row);
}

void CPondelDlg::OnWakeUp()
{
    WakeSelected(true);
}

void CPondelDlg::OnWakeUpNonBroadcast()
{
    WakeSelected(false);
}

void CPondelDlg::WakeSelected(bool broadcast)
{
    if (collecting_)
        return;
    const WaitCursor wait;
    WakeContext context{hosts_, settings_, locks_, currentHost_, *windowSide_, services_.wake};
    const std::vector<int> rows = SelectedRows();
    WakeSelectedHosts(std::vector<std::int32_t>(rows.begin(), rows.end()), broadcast, context);
}

void CPondelDlg::WriteDefaultHost(int row)
{
    const Result<void> saved = SaveDefaultHost(settingsPath_, row);
    if (!saved)
        ModalSeam::Error(this,
            tr("The settings could not be saved to %1.\n%2")
                .arg(QString::fromStdString(settingsPath_.string()),
                    QString::fromStdString(saved.Error().message)));
}

void CPondelDlg::OnShutdownHost()
{
    // The rows' own texts: a sweep may be adding to HostList meanwhile.
    HostList rows;
    rows.Reserve(model_->rowCount());
    for (const HostRow& row : model_->Rows())
        (void)rows.Append(row.host);
    const std::vector<int> selected = SelectedRows();
    std::vector<ShutdownJob> jobs = ShutdownSelectedHosts(
        std::vector<std::int32_t>(selected.begin(), selected.end()), rows, currentHost_,
        *windowSide_);
    if (!jobs.empty())
        RunShutdownBatch(std::move(jobs));
}

void CPondelDlg::RunShutdownBatch(std::vector<ShutdownJob> jobs)
{
    // The commands may wait long on a host that does not answer; the window
    // stays free meanwhile and hears of each result in turn.
    const int batch = nextShutdownBatch_++;
    shutdownWorkers_.emplace(batch,
        std::thread([this, batch, jobs = std::move(jobs), command = settings_.shutdownCommand,
                        run = services_.shutdownRunner] {
            RunShutdownJobs(
                jobs, command,
                [this](const ShutdownResult& result) {
                    QMetaObject::invokeMethod(
                        this, [this, result] { OnShutdownResult(result); }, Qt::QueuedConnection);
                },
                run);
            QMetaObject::invokeMethod(
                this, [this, batch] { OnShutdownBatchEnded(batch); }, Qt::QueuedConnection);
        }));
    UpdateBusyCursor();
}

void CPondelDlg::OnShutdownResult(const ShutdownResult& result)
{
    // One box after the other, in the order of the rows, even when later
    // results arrive while a box is open.
    shutdownResults_.push_back(result);
    if (shutdownResultShowing_)
        return;
    shutdownResultShowing_ = true;
    while (!shutdownResults_.empty()) {
        const ShutdownResult next = shutdownResults_.front();
        shutdownResults_.pop_front();
        ReportShutdownResult(next, *windowSide_);
    }
    shutdownResultShowing_ = false;
}

void CPondelDlg::OnShutdownBatchEnded(int batch)
{
    const auto found = shutdownWorkers_.find(batch);
    if (found == shutdownWorkers_.end())
        return;
    found->second.join();
    shutdownWorkers_.erase(found);
    UpdateBusyCursor();
}

void CPondelDlg::UpdateBusyCursor()
{
    if (collecting_ || !shutdownWorkers_.empty())
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

} // namespace pondel
