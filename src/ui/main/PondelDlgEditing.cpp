// Editing the host list by hand.
//
// The locks are not recursive, and a modal window runs the event loop, where
// the window's queued handlers for the monitor's reports take ViewLock. So
// every question, message and dialog comes first, with no lock held, and the
// locks are taken only for the change itself. AbortPass is set from the
// start, so that a running pass is already giving up ProbeLock by then.
#include "PondelDlg.h"

#include <mutex>

#include <QApplication>
#include <QItemSelectionModel>
#include <QTableView>

#include "AddressLookup.h"
#include "CHostEditDlg.h"
#include "HostProbe.h"
#include "HostTableModel.h"
#include "Ipv4Text.h"
#include "ModalSeam.h"
#include "WaitCursor.h"

namespace pondel {
namespace {

tHostInfo RecordOf(const HostTexts& values)
{
    return MakeHostInfo(
        values.hostName, values.comment, values.ipAddr, values.netMask, values.macAddr);
}

} // namespace

bool CPondelDlg::RowLimitReached() const
{
    return static_cast<std::int64_t>(model_->rowCount()) >=
        static_cast<std::int64_t>(settings_.maxHostNum);
}

HostTexts CPondelDlg::NewHostValues() const
{
    HostTexts values;
    values.netMask =
        currentHost_.netMask.empty() ? CHostEditDlg::kDefaultNetMask : currentHost_.netMask;
    return values;
}

void CPondelDlg::OnAppend()
{
    if (locks_.IsCollectRunning())
        return;
    {
        const AbortingPass aborting(locks_);
        if (RowLimitReached()) {
            ModalSeam::Notice(this, tr("Over the maximum number of hosts registered"));
            return;
        }
        CHostEditDlg dialog(this);
        dialog.SetValues(NewHostValues());
        if (ModalSeam::Exec(dialog) == QDialog::Accepted)
            AddHostRow(dialog.Values(), model_->rowCount());
    }
    UpdateCommandState();
}

void CPondelDlg::OnInsert()
{
    if (locks_.IsCollectRunning())
        return;
    {
        const AbortingPass aborting(locks_);
        const std::vector<int> selected = SelectedRows();
        if (selected.size() > 1) {
            ModalSeam::Notice(this, tr("Please select only one item"));
            return;
        }
        if (RowLimitReached()) {
            ModalSeam::Notice(this, tr("Over the maximum number of hosts registered"));
            return;
        }
        // Without a selection the new host goes to the end.
        const int position = selected.empty() ? model_->rowCount() : selected.front();
        CHostEditDlg dialog(this);
        dialog.SetValues(NewHostValues());
        if (ModalSeam::Exec(dialog) == QDialog::Accepted)
            AddHostRow(dialog.Values(), position);
    }
    UpdateCommandState();
}

void CPondelDlg::AddHostRow(const HostTexts& values, int position)
{
    {
        const WaitCursor wait;
        currentHost_ = values;
        const tHostInfo host = RecordOf(values);
        const std::lock_guard probing(locks_.ProbeLock);
        const std::lock_guard viewing(locks_.ViewLock);
        model_->InsertHostRow(position, HostRow{host, position});
        if (position >= hosts_.Count())
            (void)hosts_.Append(host);
        else
            hosts_.InsertAt(position, host);
        RenumberRows();
    }
    RecheckHost(position);
}

void CPondelDlg::OnEdit()
{
    if (locks_.IsCollectRunning())
        return;
    int row = -1;
    {
        const AbortingPass aborting(locks_);
        const std::vector<int> selected = SelectedRows();
        if (selected.size() > 1) {
            ModalSeam::Notice(this, tr("Please select only one item"));
            return;
        }
        if (selected.empty()) {
            ModalSeam::Notice(this, tr("Please select the host"));
            return;
        }
        row = selected.front();
        (void)EditHostRow(row);
    }
    // Also after Cancel: the row's mark is brought up to date either way.
    RecheckHost(row);
    UpdateCommandState();
}

bool CPondelDlg::EditHostRow(int row)
{
    if (row < 0 || row >= model_->rowCount())
        return false;
    currentHost_ = TextsOf(model_->Rows()[static_cast<std::size_t>(row)].host);
    CHostEditDlg dialog(this);
    dialog.SetValues(currentHost_);
    if (ModalSeam::Exec(dialog) != QDialog::Accepted)
        return false;

    const WaitCursor wait;
    currentHost_ = dialog.Values();
    const std::lock_guard probing(locks_.ProbeLock);
    const std::lock_guard viewing(locks_.ViewLock);
    if (row >= hosts_.Count())
        return false;
    tHostInfo host = RecordOf(currentHost_);
    host.active = hosts_[row].active;
    hosts_[row] = host;
    // The mark is drawn again once the host has been probed.
    host.active = 0;
    model_->ReplaceHost(row, host);
    return true;
}

void CPondelDlg::OnRemove()
{
    if (locks_.IsCollectRunning())
        return;
    {
        const AbortingPass aborting(locks_);
        const std::vector<int> selected = SelectedRows();
        if (selected.empty()) {
            ModalSeam::Notice(this, tr("Please select the host"));
            return;
        }
        if (selected.size() > 1) {
            if (!ModalSeam::Ask(this, tr("Removes the selected host information.\nAre you sure?")))
                return;
        } else {
            const tHostInfo& host = model_->Rows()[static_cast<std::size_t>(selected.front())].host;
            const QString question = QStringLiteral("%1(%2) %3")
                                         .arg(QString::fromUtf8(host.hostName),
                                             QString::fromUtf8(host.ipAddr),
                                             tr("Are you sure you want to delete?"));
            if (!ModalSeam::Ask(this, question))
                return;
        }

        const WaitCursor wait;
        const std::lock_guard probing(locks_.ProbeLock);
        const std::lock_guard viewing(locks_.ViewLock);
        // From the bottom up, so that the rows still to go keep their places.
        for (auto row = selected.rbegin(); row != selected.rend(); ++row) {
            model_->RemoveHostRow(*row);
            hosts_.RemoveAt(*row);
        }
        RenumberRows();
    }
    UpdateCommandState();
}

void CPondelDlg::OnMoveUp()
{
    MoveSelectedHost(&CPondelDlg::MoveHostUp);
}

void CPondelDlg::OnMoveDown()
{
    MoveSelectedHost(&CPondelDlg::MoveHostDown);
}

void CPondelDlg::MoveSelectedHost(void (CPondelDlg::*moveRow)(int row))
{
    if (locks_.IsCollectRunning())
        return;
    {
        const AbortingPass aborting(locks_);
        const std::vector<int> selected = SelectedRows();
        if (selected.size() != 1) {
            ModalSeam::Notice(this,
                selected.empty() ? tr("Please select the host") : tr("Please select only one item"));
            return;
        }
        const WaitCursor wait;
        const std::lock_guard probing(locks_.ProbeLock);
        const std::lock_guard viewing(locks_.ViewLock);
        (this->*moveRow)(selected.front());
        RenumberRows();
    }
    UpdateCommandState();
}

void CPondelDlg::MoveHostUp(int row)
{
    if (locks_.IsCollectRunning() || row < 1 || row >= hosts_.Count())
        return;
    const tHostInfo host = hosts_[row];
    hosts_.RemoveAt(row);
    hosts_.InsertAt(row - 1, host);
    RefillHostRows();
    SelectOnlyRow(row - 1);
}

void CPondelDlg::MoveHostDown(int row)
{
    if (locks_.IsCollectRunning() || row < 0 || row >= hosts_.Count() - 1)
        return;
    const tHostInfo host = hosts_[row];
    hosts_.RemoveAt(row);
    if (row + 1 == hosts_.Count())
        (void)hosts_.Append(host);
    else
        hosts_.InsertAt(row + 1, host);
    RefillHostRows();
    SelectOnlyRow(row + 1);
}

void CPondelDlg::SelectOnlyRow(int row)
{
    view_->selectionModel()->select(
        model_->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CPondelDlg::OnSelectAll()
{
    if (locks_.IsCollectRunning())
        return;
    const WaitCursor wait;
    view_->selectAll();
}

void CPondelDlg::OnCancelSelect()
{
    if (locks_.IsCollectRunning())
        return;
    const WaitCursor wait;
    view_->clearSelection();
}

} // namespace pondel
