// Running commands, the state of their surfaces, automatic refresh and the
// window commands of the View menu and the tray.
#include "PondelDlg.h"

#include <algorithm>
#include <chrono>

#include <QTimer>

#include "CommandSurfaces.h"
#include "OptionsApplier.h"
#include "WindowGeometry.h"
#include "WindowWorkers.h"

namespace pondel {

void CPondelDlg::RunCommand(CommandId id)
{
    // The sweep holds the list: waiting for it would freeze the window.
    if (IsCollectRunning() && IdleWhileCollecting(id)) {
        SetStatusText(StatusPane::kGeneral, CollectionBusyText());
        return;
    }
    (this->*Command(id).handler)();
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
    // Hosts came in, by whatever command: the hint has done its work.
    if (state.rowCount > 0 && StatusText(StatusPane::kGeneral) == EmptyListHint())
        SetStatusText(StatusPane::kGeneral, {});
}

void CPondelDlg::ApplyAutoRefresh()
{
    if (settings_.autoRefresh != 0 && !AutoRefreshRunning()) {
        RestartAutoRefreshTimer();
        UpdateCommandState();
    } else if (settings_.autoRefresh == 0 && AutoRefreshRunning()) {
        autoRefreshTimer_->stop();
        UpdateCommandState();
    }
}

bool CPondelDlg::AutoRefreshRunning() const
{
    return autoRefreshTimer_->isActive();
}

void CPondelDlg::RestartAutoRefreshTimer()
{
    // A period of 0 would ask for passes without pause.
    const std::uint32_t seconds = std::max<std::uint32_t>(settings_.timerInterval, 1);
    autoRefreshTimer_->start(std::chrono::seconds(seconds));
}

void CPondelDlg::StartAutoRefresh()
{
    if (!AutoRefreshRunning()) {
        RestartAutoRefreshTimer();
        RequestStatusPass();
        UpdateCommandState();
    }
    settings_.autoRefresh = 1;
}

void CPondelDlg::StopAutoRefresh()
{
    if (AutoRefreshRunning()) {
        autoRefreshTimer_->stop();
        workers_->StopPass();
        UpdateCommandState();
    }
    settings_.autoRefresh = 0;
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
