// The commands of the host list editor and of the window's workers, and what
// the rest of the window asks of the workers: short forwards.
#include "PondelDlg.h"

#include "HostListEditor.h"
#include "HostTableModel.h"
#include "WindowWorkers.h"

namespace pondel {

void CPondelDlg::OnAppend()
{
    editor_->Append();
}

void CPondelDlg::OnInsert()
{
    editor_->Insert();
}

void CPondelDlg::OnEdit()
{
    editor_->Edit();
}

void CPondelDlg::OnRemove()
{
    editor_->Remove();
}

void CPondelDlg::OnMoveUp()
{
    editor_->MoveUp();
}

void CPondelDlg::OnMoveDown()
{
    editor_->MoveDown();
}

void CPondelDlg::OnSelectAll()
{
    editor_->SelectAll();
}

void CPondelDlg::OnCancelSelect()
{
    editor_->CancelSelect();
}

void CPondelDlg::OnExportHostList()
{
    editor_->Export();
}

void CPondelDlg::OnImportHostList()
{
    editor_->Import();
}

void CPondelDlg::OnCopy()
{
    editor_->Copy();
}

void CPondelDlg::OnCut()
{
    editor_->Cut();
}

void CPondelDlg::OnPaste()
{
    editor_->Paste();
}

void CPondelDlg::OnRefresh()
{
    if (HostRows()->rowCount() > 0)
        RequestStatusPass();
    UpdateCommandState();
}

void CPondelDlg::OnActiveCheck()
{
    workers_->RecheckHosts(SelectedRows());
}

void CPondelDlg::OnWakeUp()
{
    workers_->WakeSelected(SelectedRows(), true);
}

void CPondelDlg::OnWakeUpNonBroadcast()
{
    workers_->WakeSelected(SelectedRows(), false);
}

void CPondelDlg::OnLastWake()
{
    workers_->ShowLastWake();
}

void CPondelDlg::OnShutdownHost()
{
    workers_->ShutdownSelected(HostRows()->Hosts(), SelectedRows());
}

void CPondelDlg::OnCollectHosts()
{
    workers_->CollectHosts();
}

void CPondelDlg::RequestStatusPass()
{
    workers_->RequestStatusPass();
}

void CPondelDlg::ApplyProbeSettings()
{
    workers_->ApplyProbeSettings();
}

bool CPondelDlg::IsCollectRunning() const noexcept
{
    return workers_ && workers_->CollectRunning();
}

void CPondelDlg::UseWorkServices(WorkServices services)
{
    workers_->UseServices(std::move(services));
}

} // namespace pondel
