#include "WindowWorkers.h"

#include <utility>

#include <QMetaObject>

#include "CCollectHostDlg.h"
#include "HostTableModel.h"
#include "Ipv4Text.h"
#include "ModalSeam.h"
#include "PondelDlg.h"
#include "PondelWindowSide.h"
#include "Settings.h"
#include "WindowWake.h"
#include "WorkerRelays.h"

namespace pondel {

WindowWorkers::WindowWorkers(CPondelDlg& window, std::filesystem::path settingsPath,
    AppSettings& settings, HostList& hosts, ListLocks& locks, HostTexts& currentHost)
    : window_(window)
    , settingsPath_(std::move(settingsPath))
    , settings_(settings)
    , hosts_(hosts)
    , locks_(locks)
    , currentHost_(currentHost)
    , windowSide_(std::make_unique<PondelWindowSide>(window, *this))
    , statusRelay_(std::make_unique<StatusRelay>(*this))
    , sweepRelay_(std::make_unique<SweepRelay>(*this))
    , wake_(std::make_unique<WindowWake>(window))
{
    MakeWorkers();
}

WindowWorkers::~WindowWorkers()
{
    Stop();
}

void WindowWorkers::MakeWorkers()
{
    monitor_ = std::make_unique<StatusMonitor>(hosts_, locks_, *statusRelay_, services_.monitor);
    ApplyProbeSettings();
    monitor_->Start();
    sweep_ = std::make_unique<AddressSweep>(hosts_, locks_, *sweepRelay_, services_.sweep);
}

void WindowWorkers::UseServices(WorkServices services)
{
    if (collecting_)
        return;
    sweep_.reset();
    monitor_.reset();
    services_ = std::move(services);
    MakeWorkers();
}

void WindowWorkers::Stop()
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
    shutdownWorkers_.clear();
    wake_->Stop();
    // A sweep stopped here adds what it found on its way out, after its
    // last notice: the rows show the list as it stands and will be saved.
    if (wasCollecting)
        window_.RefillHostRows();
    UpdateBusyCursor();
}

void WindowWorkers::ApplyProbeSettings()
{
    if (monitor_)
        monitor_->SetProbeSettings(StatusProbeSettings(settings_));
}

void WindowWorkers::RequestStatusPass()
{
    // The sweep holds the list: the pane shows the request, and no pass runs.
    if (collecting_ || !monitor_) {
        OnPassProgress(0, -1);
        return;
    }
    monitor_->RequestStatusPass();
}

void WindowWorkers::StopPass()
{
    if (monitor_)
        monitor_->StopPass();
}

void WindowWorkers::RecheckHosts(const std::vector<int>& rows)
{
    // The sweep marks the hosts it finds anyway; a check would only wait
    // for it.
    if (collecting_ || !monitor_)
        return;
    monitor_->RequestHostChecks(std::vector<std::int32_t>(rows.begin(), rows.end()));
}

void WindowWorkers::OnPassProgress(std::int32_t done, std::int32_t total)
{
    if (total < 0)
        total = window_.HostRows()->rowCount();
    window_.SetStatusText(StatusPane::kProgress,
        CPondelDlg::tr("During  active status updates") +
            QStringLiteral(" : %1 / %2").arg(done).arg(total));
}

void WindowWorkers::OnPassEnded()
{
    // A sweep holds ViewLock for its whole run; it asks for a pass of its
    // own when it is done.
    if (collecting_)
        return;
    window_.UpdateActiveMarks(-1);
    window_.SetStatusText(StatusPane::kProgress, {});
}

void WindowWorkers::OnHostsChecked(const std::vector<std::int32_t>& rows)
{
    if (collecting_)
        return;
    for (const std::int32_t row : rows)
        window_.UpdateActiveMarks(row);
}

void WindowWorkers::OnProbeFailed(const ErrorInfo& error)
{
    // Passes that keep failing while the box is open do not pile up boxes.
    if (probeFailureShowing_)
        return;
    probeFailureShowing_ = true;
    // The first line is the system's own report and stays as it is.
    ModalSeam::Error(&window_,
        QString::fromStdString(error.message) + QLatin1Char('\n') +
            CPondelDlg::tr(
                "To send echo requests itself, the program needs ICMP sockets: allow them for "
                "your group with the sysctl net.ipv4.ping_group_range, or clear \"Do not use "
                "the external command\" in the options so that the system's ping is used."));
    probeFailureShowing_ = false;
}

void WindowWorkers::WakeSelected(const std::vector<int>& rows, bool broadcast)
{
    if (collecting_)
        return;
    wake_->Wake(rows, broadcast,
        WakeContext{hosts_, settings_, locks_, currentHost_, *windowSide_, services_.wake});
}

void WindowWorkers::ShowLastWake()
{
    wake_->ShowLastWake();
}

void WindowWorkers::WriteDefaultHost(int row)
{
    const Result<void> saved = SaveDefaultHost(settingsPath_, row);
    if (!saved)
        ModalSeam::Error(&window_,
            CPondelDlg::tr("The settings could not be saved to %1.\n%2")
                .arg(QString::fromStdString(settingsPath_.string()),
                    QString::fromStdString(saved.Error().message)));
}

void WindowWorkers::ShutdownSelected(const HostList& rows, const std::vector<int>& selected)
{
    std::vector<ShutdownJob> jobs =
        ShutdownSelectedHosts(std::vector<std::int32_t>(selected.begin(), selected.end()), rows,
            currentHost_, *windowSide_);
    if (!jobs.empty())
        RunShutdownBatch(std::move(jobs));
}

void WindowWorkers::RunShutdownBatch(std::vector<ShutdownJob> jobs)
{
    // The commands may wait long on a host that does not answer; the window
    // stays free meanwhile and hears of each result in turn.
    const int batch = nextShutdownBatch_++;
    shutdownWorkers_.emplace(batch,
        std::jthread([this, batch, jobs = std::move(jobs), command = settings_.shutdownCommand,
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

void WindowWorkers::OnShutdownResult(const ShutdownResult& result)
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

void WindowWorkers::OnShutdownBatchEnded(int batch)
{
    // Erasing joins the thread, which has nothing left to do.
    shutdownWorkers_.erase(batch);
    UpdateBusyCursor();
}

void WindowWorkers::UpdateBusyCursor()
{
    if (collecting_ || !shutdownWorkers_.empty())
        window_.setCursor(Qt::WaitCursor);
    else
        window_.unsetCursor();
}

void WindowWorkers::CollectHosts()
{
    // One collection at a time: a second would wait for the first one's
    // locks and take over its progress dialog.
    if (collecting_)
        return;
    const Result<CollectRequest> proposed = ProposeCollectRequest(settings_, services_.local);
    if (!proposed) {
        ModalSeam::Error(&window_,
            CPondelDlg::tr("Can not obtain IP address") + QLatin1Char('\n') +
                QString::fromStdString(proposed.Error().message));
        return;
    }
    CCollectHostDlg dialog(&window_);
    dialog.SetRequest(proposed.Value());
    if (ModalSeam::Exec(dialog) != QDialog::Accepted)
        return;
    const CollectRequest request = OrderCollectRequest(dialog.Request());
    if (!ModalSeam::Ask(&window_,
            CPondelDlg::tr("Gather the host information by sending an ICMP to the address of the "
                           "specified range.\nAre you sure?"),
            CPondelDlg::tr("IP address collection")))
        return;
    StoreCollectRequest(request, settings_);

    collectRange_ = request.range;
    auto* progress = new CCollectProcDlg(&window_);
    progress->SetAddressCount(AddressCount(collectRange_));
    connect(progress, &CCollectProcDlg::StopRequested, this, [this] {
        if (sweep_)
            sweep_->Stop();
    });
    progressDialog_ = progress;
    collecting_ = true;
    if (!sweep_->Start(collectRange_, SweepProbeSettings(settings_), settings_.maxHostNum)) {
        EndCollect(false);
        return;
    }
    progress->show();
    window_.SetStatusText(StatusPane::kGeneral, CPondelDlg::CollectionBusyText());
    UpdateBusyCursor();
    window_.UpdateCommandState();
}

void WindowWorkers::OnSweepProgress(std::uint32_t address)
{
    const QString text = QString::fromStdString(IpToText(address));
    window_.SetStatusText(StatusPane::kProgress, QStringLiteral("Check IP Address %1").arg(text));
    if (progressDialog_)
        progressDialog_->ShowAddress(std::uint64_t{address} - collectRange_.start, text);
}

void WindowWorkers::OnSweepDetected(std::int32_t detectCount)
{
    if (progressDialog_)
        progressDialog_->ShowDetectCount(detectCount);
}

void WindowWorkers::OnSweepFinished(SweepEnd end)
{
    // After the window has closed, the sweep's last words need no answer.
    if (!collecting_)
        return;
    switch (end) {
    case SweepEnd::kStopped:
        ModalSeam::Notice(
            &window_, CPondelDlg::tr("Host information collection has been canceled"));
        break;
    case SweepEnd::kIcmpUnavailable:
        ModalSeam::Error(&window_,
            CPondelDlg::tr("ICMP does not use.\nPlease change the settings you want to use an "
                           "external command."));
        break;
    case SweepEnd::kNothingAdded:
    case SweepEnd::kHostsAdded:
        EndCollect(end == SweepEnd::kHostsAdded);
        break;
    }
}

void WindowWorkers::EndCollect(bool hostsAdded)
{
    // A window that has closed has already stopped and settled the sweep.
    if (!collecting_)
        return;
    if (progressDialog_)
        progressDialog_->Finish();
    progressDialog_ = nullptr;
    collecting_ = false;
    UpdateBusyCursor();
    window_.SetStatusText(StatusPane::kProgress, {});
    if (window_.StatusText(StatusPane::kGeneral) == CPondelDlg::CollectionBusyText())
        window_.SetStatusText(StatusPane::kGeneral, {});
    // Column resizes during the sweep left the marks where they were; this
    // comes before the pass below, which nothing may cut short.
    window_.RecenterMarkIcons();
    if (hostsAdded) {
        {
            const ListChangeLock lock(locks_);
            window_.RefillHostRows();
        }
        RequestStatusPass();
    }
    window_.UpdateCommandState();
}

} // namespace pondel
