// Status passes, the wake-up commands and remote shutdown.
#include "PondelDlg.h"

#include "HostTableModel.h"

namespace pondel {

void CPondelDlg::RequestStatusPass()
{
    // The status monitor answers this; until it is attached, nothing probes.
}

void CPondelDlg::OnRefresh()
{
    if (model_->rowCount() > 0)
        RequestStatusPass();
    UpdateCommandState();
}

void CPondelDlg::OnActiveCheck()
{
}

void CPondelDlg::OnWakeUp()
{
}

void CPondelDlg::OnWakeUpNonBroadcast()
{
}

void CPondelDlg::OnShutdownHost()
{
}

} // namespace pondel
