// The address sweep: finding the running hosts of a range.
#include "PondelDlg.h"

#include <mutex>

#include "CCollectHostDlg.h"
#include "HostTableModel.h"
#include "Ipv4Text.h"
#include "ModalSeam.h"

namespace pondel {

void CPondelDlg::OnCollectHosts()
{
    // One collection at a time: a second would wait for the first one's
    // locks and take over its progress dialog.
    if (collecting_)
        return;
    const std::optional<CollectRequest> proposed = ProposeCollectRequest(settings_, services_.local);
    if (!proposed) {
        ModalSeam::Error(this, tr("Can not obtain IP address"));
        return;
    }
    CCollectHostDlg dialog(this);
    dialog.SetRequest(*proposed);
    if (ModalSeam::Exec(dialog) != QDialog::Accepted)
        return;
    const CollectRequest request = OrderCollectRequest(dialog.Request());
    if (!ModalSeam::Ask(this,
            tr("Gather the host information by sending an ICMP to the address of the specified "
               "range.\nAre you sure?"),
            tr("IP address collection")))
        return;
    StoreCollectRequest(request, settings_);

    collectRange_ = request.range;
    auto* progress = new CCollectProcDlg(this);
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
    UpdateBusyCursor();
    UpdateCommandState();
}

void CPondelDlg::OnSweepProgress(std::uint32_t address)
{
    const QString text = QString::fromStdString(IpToText(address));
    SetStatusText(1, QStringLiteral("Check IP Address %1").arg(text));
    if (progressDialog_)
        progressDialog_->ShowAddress(std::uint64_t{address} - collectRange_.start, text);
}

void CPondelDlg::OnSweepDetected(std::int32_t detectCount)
{
    if (progressDialog_)
        progressDialog_->ShowDetectCount(detectCount);
}

void CPondelDlg::OnSweepFinished(SweepEnd end)
{
    // After the window has closed, the sweep's last words need no answer.
    if (!collecting_)
        return;
    switch (end) {
    case SweepEnd::kStopped:
        ModalSeam::Notice(this, tr("Host information collection has been canceled"));
        break;
    case SweepEnd::kIcmpUnavailable:
        ModalSeam::Error(this,
            tr("ICMP does not use.\nPlease change the settings you want to use an external "
               "command."));
        break;
    case SweepEnd::kNothingAdded:
    case SweepEnd::kHostsAdded:
        EndCollect(end == SweepEnd::kHostsAdded);
        break;
    }
}

void CPondelDlg::EndCollect(bool hostsAdded)
{
    // A window that has closed has already stopped and settled the sweep.
    if (!collecting_)
        return;
    if (progressDialog_)
        progressDialog_->Finish();
    progressDialog_ = nullptr;
    collecting_ = false;
    UpdateBusyCursor();
    SetStatusText(1, {});
    if (hostsAdded) {
        locks_.AbortPass = true;
        {
            const std::lock_guard probe(locks_.ProbeLock);
            const std::lock_guard view(locks_.ViewLock);
            RefillHostRows();
        }
        locks_.AbortPass = false;
        RequestStatusPass();
    }
    // Column resizes during the sweep left the marks where they were.
    RecenterMarkIcons();
    UpdateCommandState();
}

} // namespace pondel
