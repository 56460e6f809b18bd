// The sort of the host list by a column: the rows move, with their
// selections, and HostList follows them.
#include "HostListPane.h"

#include <algorithm>
#include <numeric>

#include <QStringList>

#include "HostTableModel.h"
#include "ListLocks.h"
#include "PondelDlg.h"

namespace pondel {

bool HostListPane::SortDescending(int column) const
{
    if (column < 0 || column >= HostTableModel::kColumnCount)
        return false;
    return sortDescending_[static_cast<std::size_t>(column)];
}

void HostListPane::SortByColumn(int column)
{
    // A sweep holds the list's locks until it ends.
    if (column < 0 || column >= HostTableModel::kColumnCount || window_.IsCollectRunning())
        return;
    bool& descending = sortDescending_[static_cast<std::size_t>(column)];
    descending = column == lastSortColumn_ ? !descending : false;
    lastSortColumn_ = column;

    const ListChangeLock lock(locks_);
    // The rows are numbered by their places, so a row's item data is also
    // its index before the sort.
    const std::vector<HostRow>& rows = model_->Rows();
    std::vector<int> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    if (column == HostTableModel::kVendorColumn)
        order = OrderByVendor(descending);
    else
        std::ranges::stable_sort(order, [&](int first, int second) {
            return CompareHostRows(rows[static_cast<std::size_t>(first)],
                       rows[static_cast<std::size_t>(second)], column, descending,
                       model_->Style()) < 0;
        });
    model_->Reorder(order);
    RenumberRows();
    RebuildHostList();
}

std::vector<int> HostListPane::OrderByVendor(bool descending) const
{
    // Each vendor is looked up once, not once a comparison.
    QStringList vendors;
    for (const HostRow& row : model_->Rows())
        vendors.append(model_->VendorOf(row.host.macAddr));
    std::vector<int> order(static_cast<std::size_t>(vendors.size()));
    std::iota(order.begin(), order.end(), 0);
    std::ranges::stable_sort(order, [&](int first, int second) {
        const int result = vendors[first].compare(vendors[second], Qt::CaseInsensitive);
        return descending ? result > 0 : result < 0;
    });
    return order;
}

} // namespace pondel
