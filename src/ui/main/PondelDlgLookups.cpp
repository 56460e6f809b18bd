// The lookup dialogs of the Tool menu.
#include "PondelDlg.h"

namespace pondel {

void CPondelDlg::OnGetIpAddress()
{
}

void CPondelDlg::OnGetMacAddress()
{
}

void CPondelDlg::OnGetHostName()
{
}

void CPondelDlg::OnSendIcmp()
{
}

} // namespace pondel
