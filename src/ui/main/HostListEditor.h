#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "AppSettings.h"
#include "CsvHostFile.h"
#include "HostList.h"
#include "HostTexts.h"
#include "ListLocks.h"

class QTableView;

namespace pondel {

class CPondelDlg;
class HostTableModel;
class WindowWorkers;

// The host list commands: adding, editing, removing and moving hosts, and
// hosts in and out through CSV files and the clipboard. It changes the
// window's rows and HostList together, under the list's locks.
//
// The locks are not recursive, and a modal window runs the event loop, where
// the window's queued handlers for the workers' reports take ViewLock. So
// every question, message and dialog comes first, with no lock held, and the
// list is taken (ListChangeLock) only for the change itself. While a
// collection runs, the commands that change the list do nothing.
class HostListEditor final {
public:
    HostListEditor(CPondelDlg& window, HostTableModel& model, QTableView& view,
        AppSettings& settings, HostList& hosts, ListLocks& locks, HostTexts& currentHost,
        WindowWorkers& workers);
    HostListEditor(const HostListEditor&) = delete;
    HostListEditor& operator=(const HostListEditor&) = delete;

    void Append();
    void Insert();
    void Edit();
    void Remove();
    void MoveUp();
    void MoveDown();
    void SelectAll();
    void CancelSelect();

    void Export();
    void Import();
    void Copy();
    void Cut();
    void Paste();

private:
    [[nodiscard]] bool RowLimitReached() const;
    // A new host's texts: empty, with the last host's netmask.
    [[nodiscard]] HostTexts NewHostValues() const;
    // The host dialog for a new host, which goes to `position` on OK; at the
    // row limit a notice instead.
    void AddNewHost(int position);
    // True, after saying so, when more than one row is selected for a
    // command that works on one.
    [[nodiscard]] bool RefuseSeveralRows(const std::vector<int>& selected) const;
    void AddHostRow(const tHostInfo& host, int position);
    // True when the dialog closed with OK and the row took its values.
    bool EditHostRow(int row);
    void MoveSelectedHost(int step);
    void MoveHost(int row, int step);
    void SelectOnlyRow(int row);
    void RemoveRows(const std::vector<int>& rows);
    void SelectRowRange(int first, int last);
    [[nodiscard]] std::vector<tHostInfo> HostsOfRows(const std::vector<int>& rows) const;
    // Asks whether hosts of the file that are already in the list are added
    // again; without such hosts nobody is asked.
    [[nodiscard]] CsvDuplicates AskAboutDuplicates(std::string_view fileText) const;

    CPondelDlg& window_;
    HostTableModel& model_;
    QTableView& view_;
    AppSettings& settings_;
    HostList& hosts_;
    ListLocks& locks_;
    HostTexts& currentHost_;
    WindowWorkers& workers_;
};

} // namespace pondel
