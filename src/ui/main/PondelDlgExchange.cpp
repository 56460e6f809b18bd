// Hosts in and out: CSV files and the clipboard.
#include "PondelDlg.h"

namespace pondel {

void CPondelDlg::OnExportHostList()
{
}

void CPondelDlg::OnImportHostList()
{
}

void CPondelDlg::OnCopy()
{
}

void CPondelDlg::OnCut()
{
}

void CPondelDlg::OnPaste()
{
}

} // namespace pondel
