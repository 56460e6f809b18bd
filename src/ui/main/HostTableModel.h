#pragma once

#include <map>
#include <string>
#include <functional>
#include <vector>

#include <QAbstractTableModel>
#include <QPixmap>

#include "HostList.h"
#include "HostRow.h"
#include "WakeWatcher.h"

namespace pondel {

// The rows of the host list view. The window fills them from HostList and
// rebuilds HostList from them after a sort; the view reads only these.
class HostTableModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HostTableModel)

public:
    static constexpr int kColumnCount = 8;
    // After the MAC address: its vendor, from the registry once it is read.
    // The window hides it unless VENDOR_COLUMN is set.
    static constexpr int kVendorColumn = 6;
    // The last column: the host's group, empty for none.
    static constexpr int kGroupColumn = 7;
    // Column 0 in image mode: the pixel indent that centres the mark.
    static constexpr int kMarkIndentRole = Qt::UserRole + 1;
    // Column 0: whether the host answered, in either mode.
    static constexpr int kActiveRole = Qt::UserRole + 2;
    // Column 0: a woken host's text ("12 s", "up after 12 s", ...), or none.
    static constexpr int kWakeRole = Qt::UserRole + 3;

    explicit HostTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void SetHeaders(const QStringList& headers);
    void SetMarkImages(const QPixmap& inactive, const QPixmap& active);
    void SetMarkStyle(const MarkStyle& style);
    const MarkStyle& Style() const noexcept { return style_; }
    void SetMarkIndent(int indent);
    int MarkIndent() const noexcept { return markIndent_; }

    const std::vector<HostRow>& Rows() const noexcept { return rows_; }
    // The hosts the rows show, in row order.
    [[nodiscard]] HostList Hosts() const;
    void ResetRows(std::vector<HostRow> rows);
    // Takes one row out; the rows after it move up a place.
    void RemoveRow(int row);
    void SetActive(int row, bool active);
    // The flag, link state and answering MAC a probe left in a record.
    void SetProbeResult(int row, const tHostInfo& probed);
    // Vendor names for the tooltips: a MAC text's vendor, empty when none is
    // known (yet).
    void SetVendorLookup(std::function<QString(const char* mac)> vendorOf);
    // The vendor of a MAC text, empty when none is known (yet).
    [[nodiscard]] QString VendorOf(const char* mac) const;
    // The registry has been read: the Vendor column and tooltips show the
    // names from now on, and vendorsRead tells the dialogs that show one.
    void VendorsRead();
    void SetItemData(int row, int itemData);
    // One row at a time, for the list editing: the other rows keep their
    // selection as they move.
    void InsertHostRow(int row, const HostRow& hostRow);
    void RemoveHostRow(int row);
    // Replaces the record a row shows, mark included.
    void ReplaceHost(int row, const tHostInfo& host);
    // Woken hosts, by their key (WakeWatchKeyOf the row's address and MAC):
    // every row of the host shows the state, wherever it moves.
    void SetWake(const WakeWatchKey& key, const RowWake& wake);
    void ClearWake(const WakeWatchKey& key);
    [[nodiscard]] const RowWake* WakeOf(const WakeWatchKey& key) const;
    // The rows that show a host.
    [[nodiscard]] std::vector<int> RowsOf(const WakeWatchKey& key) const;
    // The woken hosts no row shows any more (removed, or edited to another
    // address or MAC).
    [[nodiscard]] std::vector<WakeWatchKey> WakesWithoutRows() const;
    [[nodiscard]] bool HasWakes() const noexcept { return !wakes_.empty(); }

    // Puts the rows in the given order (old row indices, one per row) and
    // moves selections and other persistent indices with their rows.
    void Reorder(const std::vector<int>& order);

signals:
    // A status pass found a host that is still waking answering.
    void WakingHostAnswered(const std::string& key);
    void vendorsRead();

private:
    // Column 0 of an active host in text mode: the mark drawn in its colours.
    [[nodiscard]] bool IsTextMark(const HostRow& row, int column) const;
    [[nodiscard]] const RowWake* WakeOfRow(const HostRow& row) const;
    [[nodiscard]] QVariant WakeData(const HostRow& row, const RowWake& wake, int role) const;
    // A pass's flag for a woken host: a waking host that answers is up; an
    // outcome the flag no longer agrees with goes.
    void FollowActiveFlag(const tHostInfo& host, bool active);
    void EmitMarkChanged(const WakeWatchKey& key);
    [[nodiscard]] QVariant Mark(const HostRow& row) const;
    [[nodiscard]] QVariant MarkBackground(const HostRow& row) const;
    // What the last probe said of the host and its MAC's vendor.
    [[nodiscard]] QString ToolTip(const HostRow& row) const;
    [[nodiscard]] QString MacWithVendor(const char* mac) const;

    std::vector<HostRow> rows_;
    QStringList headers_;
    MarkStyle style_;
    QPixmap inactiveMark_;
    QPixmap activeMark_;
    // Made from the two above: an active or inactive mark with a dot.
    QPixmap upNoPingMark_;
    QPixmap anotherMachineMark_;
    std::function<QString(const char*)> vendorOf_;
    int markIndent_ = 0;
    QPixmap wakingMark_;
    QPixmap noAnswerMark_;
    std::map<WakeWatchKey, RowWake> wakes_;
};

} // namespace pondel
