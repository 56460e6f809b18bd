// Editing the host list by hand.
#include "PondelDlg.h"

namespace pondel {

void CPondelDlg::OnAppend()
{
}

void CPondelDlg::OnInsert()
{
}

void CPondelDlg::OnEdit()
{
}

void CPondelDlg::OnRemove()
{
}

void CPondelDlg::OnMoveUp()
{
}

void CPondelDlg::OnMoveDown()
{
}

void CPondelDlg::OnCancelSelect()
{
}

void CPondelDlg::OnSelectAll()
{
}

} // namespace pondel
