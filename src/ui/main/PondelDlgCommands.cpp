// Running commands, the state of their surfaces, and the window commands of
// the View menu and the tray.
#include "PondelDlg.h"

#include "AutoRefresh.h"
#include "CommandSurfaces.h"
#include "OptionsApplier.h"
#include "WindowGeometry.h"

namespace pondel {

void CPondelDlg::RunCommand(CommandId id)
{
    // The sweep holds the list: waiting for it would freeze the window.
    if (IsCollectRunning() && IdleWhileCollecting(id)) {
        SetStatusText(StatusPane::kGeneral, CollectionBusyText());
        return;
    }
    if (const auto handler = Command(id).handler)
        (this->*handler)();
}

void CPondelDlg::RunCommand(CommandId id, const std::string& item)
{
    if (IsCollectRunning() && IdleWhileCollecting(id)) {
        SetStatusText(StatusPane::kGeneral, CollectionBusyText());
        return;
    }
    if (const auto handler = Command(id).itemHandler)
        (this->*handler)(item);
}

QString CPondelDlg::CollectionBusyText()
{
    return tr("Collecting host information: the list cannot be changed until it ends.");
}

void CPondelDlg::UpdateCommandState()
{
    const CommandState state = surfaces_->UpdateToolbar();
    SetStatusText(StatusPane::kCount, tr("List count: %1").arg(state.rowCount, 6));
    SetStatusText(StatusPane::kSelected, tr("Selected: %1").arg(state.selectedCount, 6));
    // The hint stays while the list is empty, and goes once hosts came in,
    // by whatever command.
    if (state.rowCount > 0 && StatusText(StatusPane::kGeneral) == EmptyListHint())
        SetStatusText(StatusPane::kGeneral, {});
    else if (state.rowCount == 0 && StatusText(StatusPane::kGeneral).isEmpty())
        SetStatusText(StatusPane::kGeneral, EmptyListHint());
}

bool CPondelDlg::AutoRefreshRunning() const
{
    return autoRefresh_->Running();
}

void CPondelDlg::StartAutoRefresh()
{
    autoRefresh_->Start();
}

void CPondelDlg::StopAutoRefresh()
{
    autoRefresh_->Stop();
}

void CPondelDlg::ResetToDefaultSize()
{
    geometry_->ResetToDefaultSize();
}

void CPondelDlg::MoveToCenter()
{
    geometry_->MoveToCenter();
}

void CPondelDlg::OnMinimize()
{
    showMinimized();
    if (surfaces_->TrayIconAdded())
        hide();
}

void CPondelDlg::OnRestoreNormalSize()
{
    showNormal();
    raise();
    activateWindow();
}

void CPondelDlg::OnExitApplication()
{
    close();
}

void CPondelDlg::OnOption()
{
    options_->Run();
}

} // namespace pondel
