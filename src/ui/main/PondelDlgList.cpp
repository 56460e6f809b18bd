// What the window and its parts ask of the host list pane: short forwards.
#include "PondelDlg.h"

#include "HostListPane.h"
#include "HostTableModel.h"

namespace pondel {

QTableView* CPondelDlg::HostListView() const noexcept
{
    return list_->View();
}

HostTableModel* CPondelDlg::HostRows() const noexcept
{
    return list_->Model();
}

void CPondelDlg::RefillHostRows()
{
    list_->RefillRows();
    SetStatusText(StatusPane::kCount, tr("List count: %1").arg(HostRows()->rowCount(), 6));
}

void CPondelDlg::RenumberRows()
{
    list_->RenumberRows();
}

void CPondelDlg::UpdateActiveMark(int row)
{
    list_->UpdateActiveMark(row);
}

void CPondelDlg::UpdateActiveMarks(int index)
{
    list_->UpdateActiveMarks(index);
}

void CPondelDlg::RecenterMarkIcons()
{
    list_->RecenterMarkIcons();
}

void CPondelDlg::SortByColumn(int column)
{
    list_->SortByColumn(column);
}

void CPondelDlg::RebuildHostListFromRows()
{
    list_->RebuildHostList();
}

std::vector<int> CPondelDlg::SelectedRows() const
{
    return list_->SelectedRows();
}

int CPondelDlg::SelectedCount() const
{
    return list_->SelectedCount();
}

} // namespace pondel
