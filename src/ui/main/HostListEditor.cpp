#include "HostListEditor.h"

#include <QItemSelectionModel>
#include <QTableView>

#include "CHostEditDlg.h"
#include "HostGroups.h"
#include "HostTableModel.h"
#include "ModalSeam.h"
#include "PondelDlg.h"
#include "WaitCursor.h"
#include "WindowWorkers.h"

namespace pondel {
namespace {

tHostInfo RecordOf(const CHostEditDlg& dialog, const HostTexts& values)
{
    tHostInfo host = MakeHostInfo(
        values.hostName, values.comment, values.ipAddr, values.netMask, values.macAddr);
    SetWakeTexts(host, dialog.WakeOptions());
    SetField(host.group, dialog.Group());
    return host;
}

// The dialog names the vendors the rows know, and follows the registry
// when it is read while the dialog is open; its Group field offers the
// rows' groups.
void ShowVendorsAndGroups(CHostEditDlg& dialog, const HostTableModel& model)
{
    dialog.SetGroupChoices(GroupNamesOf(model.Hosts()));
    dialog.SetVendorLookup(
        [&model](const QString& mac) { return model.VendorOf(mac.toUtf8().constData()); });
    QObject::connect(&model, &HostTableModel::vendorsRead, &dialog, &CHostEditDlg::ShowVendor);
}

} // namespace

HostListEditor::HostListEditor(CPondelDlg& window, HostTableModel& model, QTableView& view,
    AppSettings& settings, HostList& hosts, ListLocks& locks, HostTexts& currentHost,
    WindowWorkers& workers)
    : window_(window)
    , model_(model)
    , view_(view)
    , settings_(settings)
    , hosts_(hosts)
    , locks_(locks)
    , currentHost_(currentHost)
    , workers_(workers)
{
}

bool HostListEditor::RowLimitReached() const
{
    return static_cast<std::int64_t>(model_.rowCount()) >=
        static_cast<std::int64_t>(settings_.maxHostNum);
}

HostTexts HostListEditor::NewHostValues() const
{
    HostTexts values;
    values.netMask =
        currentHost_.netMask.empty() ? CHostEditDlg::kDefaultNetMask : currentHost_.netMask;
    return values;
}

void HostListEditor::Append()
{
    if (workers_.CollectRunning())
        return;
    AddNewHost(model_.rowCount());
}

bool HostListEditor::RefuseSeveralRows(const std::vector<int>& selected) const
{
    if (selected.size() <= 1)
        return false;
    ModalSeam::Notice(&window_, CPondelDlg::tr("Please select only one item"));
    return true;
}

void HostListEditor::Insert()
{
    if (workers_.CollectRunning())
        return;
    const std::vector<int> selected = window_.SelectedRows();
    if (RefuseSeveralRows(selected))
        return;
    // Without a selection the new host goes to the end.
    AddNewHost(selected.empty() ? model_.rowCount() : selected.front());
}

void HostListEditor::AddNewHost(int position)
{
    if (RowLimitReached()) {
        ModalSeam::Notice(&window_, CPondelDlg::tr("Over the maximum number of hosts registered"));
        return;
    }
    CHostEditDlg dialog(&window_);
    ShowVendorsAndGroups(dialog, model_);
    dialog.SetAddMode(true);
    dialog.SetValues(NewHostValues());
    if (ModalSeam::Exec(dialog) == QDialog::Accepted)
        AddHostRow(RecordOf(dialog, dialog.Values()), position);
    window_.UpdateCommandState();
}

void HostListEditor::AddHostRow(const tHostInfo& host, int position)
{
    const WaitCursor wait;
    currentHost_ = TextsOf(host);
    {
        const ListChangeLock lock(locks_);
        model_.InsertHostRow(position, HostRow{host, position});
        if (position >= hosts_.Count())
            (void)hosts_.Append(host);
        else
            hosts_.InsertAt(position, host);
        window_.RenumberRows();
    }
    workers_.RecheckHosts({position});
}

void HostListEditor::Edit()
{
    if (workers_.CollectRunning())
        return;
    const std::vector<int> selected = window_.SelectedRows();
    if (RefuseSeveralRows(selected))
        return;
    if (selected.empty()) {
        ModalSeam::Notice(&window_, CPondelDlg::tr("Please select the host"));
        return;
    }
    const int row = selected.front();
    (void)EditHostRow(row);
    // Also after Cancel: the row's mark is brought up to date either way.
    workers_.RecheckHosts({row});
    window_.UpdateCommandState();
}

bool HostListEditor::EditHostRow(int row)
{
    if (row < 0 || row >= model_.rowCount())
        return false;
    const tHostInfo& shown = model_.Rows()[static_cast<std::size_t>(row)].host;
    currentHost_ = TextsOf(shown);
    CHostEditDlg dialog(&window_);
    ShowVendorsAndGroups(dialog, model_);
    dialog.SetValues(currentHost_);
    // Not in the list's columns, kept by the row all the same.
    dialog.SetWakeOptions(WakeTextsOf(shown));
    dialog.SetGroup(std::string(FieldText(shown.group)));
    if (ModalSeam::Exec(dialog) != QDialog::Accepted)
        return false;

    const WaitCursor wait;
    currentHost_ = dialog.Values();
    const ListChangeLock lock(locks_);
    if (row >= hosts_.Count())
        return false;
    tHostInfo host = RecordOf(dialog, currentHost_);
    host.active = hosts_[row].active;
    hosts_[row] = host;
    // The mark is drawn again once the host has been probed.
    host.active = 0;
    model_.ReplaceHost(row, host);
    return true;
}

void HostListEditor::Remove()
{
    if (workers_.CollectRunning())
        return;
    const std::vector<int> selected = window_.SelectedRows();
    if (selected.empty()) {
        ModalSeam::Notice(&window_, CPondelDlg::tr("Please select the host"));
        return;
    }
    if (selected.size() > 1) {
        if (!ModalSeam::Ask(
                &window_, CPondelDlg::tr("Removes the selected host information.\nAre you sure?")))
            return;
    } else {
        const tHostInfo& host = model_.Rows()[static_cast<std::size_t>(selected.front())].host;
        const QString question =
            QStringLiteral("%1(%2) %3")
                .arg(QString::fromUtf8(host.hostName), QString::fromUtf8(host.ipAddr),
                    CPondelDlg::tr("Are you sure you want to delete?"));
        if (!ModalSeam::Ask(&window_, question))
            return;
    }
    {
        const WaitCursor wait;
        const ListChangeLock lock(locks_);
        // From the bottom up, so that the rows still to go keep their places.
        for (auto row = selected.rbegin(); row != selected.rend(); ++row) {
            model_.RemoveHostRow(*row);
            hosts_.RemoveAt(*row);
        }
        window_.RenumberRows();
    }
    window_.UpdateCommandState();
}

void HostListEditor::MoveUp()
{
    MoveSelectedHost(-1);
}

void HostListEditor::MoveDown()
{
    MoveSelectedHost(1);
}

void HostListEditor::MoveSelectedHost(int step)
{
    if (workers_.CollectRunning())
        return;
    const std::vector<int> selected = window_.SelectedRows();
    if (selected.size() != 1) {
        ModalSeam::Notice(&window_,
            selected.empty() ? CPondelDlg::tr("Please select the host")
                             : CPondelDlg::tr("Please select only one item"));
        return;
    }
    {
        const WaitCursor wait;
        const ListChangeLock lock(locks_);
        MoveHost(selected.front(), step);
        window_.RenumberRows();
    }
    window_.UpdateCommandState();
}

void HostListEditor::MoveHost(int row, int step)
{
    const int target = row + step;
    if (row < 0 || row >= hosts_.Count() || target < 0 || target >= hosts_.Count())
        return;
    const tHostInfo host = hosts_[row];
    hosts_.RemoveAt(row);
    if (target == hosts_.Count())
        (void)hosts_.Append(host);
    else
        hosts_.InsertAt(target, host);
    window_.RefillHostRows();
    SelectOnlyRow(target);
}

void HostListEditor::SelectOnlyRow(int row)
{
    view_.selectionModel()->select(
        model_.index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void HostListEditor::SelectAll()
{
    if (workers_.CollectRunning())
        return;
    const WaitCursor wait;
    view_.selectAll();
}

void HostListEditor::CancelSelect()
{
    if (workers_.CollectRunning())
        return;
    const WaitCursor wait;
    view_.clearSelection();
}

} // namespace pondel
