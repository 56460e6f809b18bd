#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "AppSettings.h"
#include "HostList.h"
#include "Settings.h"

class QTableView;

namespace pondel {

class CPondelDlg;
class HostTableModel;
class ListLocks;
class VendorDirectory;

// The host list as the window shows it: the table model holding the
// window's own copy of the rows, the view, its columns, the active marks
// and the sort by a column.
class HostListPane final {
public:
    // Builds the view as the window's central widget. Mark images are
    // looked for in the settings file's folder, then beside the executable.
    HostListPane(CPondelDlg& window, const std::filesystem::path& settingsPath,
        AppSettings& settings, HostList& hosts, ListLocks& locks);
    ~HostListPane();
    HostListPane(const HostListPane&) = delete;
    HostListPane& operator=(const HostListPane&) = delete;

    [[nodiscard]] HostTableModel* Model() const noexcept { return model_; }
    [[nodiscard]] QTableView* View() const noexcept { return view_; }

    // The rows follow HostList anew; each row's item data is its index.
    void RefillRows();
    void RenumberRows();
    // HostList follows the rows, after they were put in a new order.
    void RebuildHostList();

    void UpdateActiveMark(int row);
    // Row `index`, or all rows for a negative index.
    void UpdateActiveMarks(int index);
    // Switches between image and text marks and asks for a status pass.
    void ApplyActiveMarkType(std::uint32_t newType);
    // Shows the mark text and colours of the settings at once.
    void RefreshMarkStyle();
    void RecenterMarkIcons();

    // A click on a header: ascending first, then the other way on each click.
    void SortByColumn(int column);
    [[nodiscard]] int LastSortColumn() const noexcept { return lastSortColumn_; }
    [[nodiscard]] bool SortDescending(int column) const;

    // What the column texts need at the view's font.
    [[nodiscard]] ColumnWidths MeasuredColumnWidths() const;
    [[nodiscard]] ColumnWidths CurrentColumnWidths() const;
    void ApplyColumnWidths(const ColumnWidths& widths);
    // Shows or hides the Vendor column as VENDOR_COLUMN says; shown for the
    // first time, it gets a measured width.
    void ApplyVendorColumn();
    // The Vendor column's width as it is to be stored: its own while shown,
    // else the one it last had (0 if it never showed).
    [[nodiscard]] std::int32_t VendorColumnWidth() const;
    // The Group column's width as it is to be stored: 0 while it has the
    // measured width it got for want of a stored one.
    [[nodiscard]] std::int32_t GroupColumnWidth() const;
    // Gives the Group column its measured width again.
    void ResetGroupColumnWidth();

    // Selects the row DEFAULT_HOST names, if it names one, and returns its
    // host.
    std::optional<tHostInfo> SelectDefaultHost(const IniDocument& document);
    [[nodiscard]] std::vector<int> SelectedRows() const;
    // Exactly these rows selected (in list order), the first one current.
    void SelectRows(const std::vector<int>& rows);
    [[nodiscard]] int SelectedCount() const;
    // The record of the first selected row, if any row is selected.
    [[nodiscard]] std::optional<tHostInfo> FirstSelectedHost() const;

private:
    void SetUpModel(const std::filesystem::path& settingsPath);
    void SetUpView();
    void SetUpColumns();
    void SelectRow(int row);
    [[nodiscard]] int MeasuredGroupWidth() const;
    // The rows' order by their vendors, as the text columns sort.
    [[nodiscard]] std::vector<int> OrderByVendor(bool descending) const;

    CPondelDlg& window_;
    AppSettings& settings_;
    HostList& hosts_;
    ListLocks& locks_;
    HostTableModel* model_ = nullptr;
    std::unique_ptr<VendorDirectory> vendors_;
    QTableView* view_ = nullptr;
    int lastSortColumn_ = -1;
    std::array<bool, 8> sortDescending_{};
};

} // namespace pondel
