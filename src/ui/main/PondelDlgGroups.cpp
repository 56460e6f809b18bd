// The group commands: the groups of the window's rows, selecting a group,
// and waking a group or the whole list through the wake-up of a selection.
#include "PondelDlg.h"

#include <numeric>

#include "HostGroups.h"
#include "HostListPane.h"
#include "HostTableModel.h"
#include "ModalSeam.h"
#include "WindowWorkers.h"

namespace pondel {
namespace {

std::vector<int> RowsOfGroupIn(const HostTableModel& model, const std::string& group)
{
    const std::vector<std::int32_t> rows = RowsOfGroup(model.Hosts(), group);
    return {rows.begin(), rows.end()};
}

} // namespace

std::vector<std::string> CPondelDlg::GroupNames() const
{
    return GroupNamesOf(HostRows()->Hosts());
}

void CPondelDlg::OnSelectGroup(const std::string& group)
{
    list_->SelectRows(RowsOfGroupIn(*HostRows(), group));
    UpdateCommandState();
}

void CPondelDlg::OnWakeGroup(const std::string& group)
{
    workers_->WakeSelected(RowsOfGroupIn(*HostRows(), group), true);
}

void CPondelDlg::OnWakeAll()
{
    // Asked first, a question while a sweep holds the list would lead to
    // nothing.
    if (IsCollectRunning()) {
        SetStatusText(StatusPane::kGeneral, CollectionBusyText());
        return;
    }
    const int count = HostRows()->rowCount();
    if (count == 0)
        return;
    const QString question =
        count == 1 ? tr("Wake the one host in the list?") : tr("Wake all %1 hosts?").arg(count);
    if (!ModalSeam::Ask(this, question))
        return;
    std::vector<int> rows(static_cast<std::size_t>(count));
    std::iota(rows.begin(), rows.end(), 0);
    workers_->WakeSelected(rows, true);
}

} // namespace pondel
