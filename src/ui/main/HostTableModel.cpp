#include "HostTableModel.h"

#include <cstring>
#include <utility>

#include "MarkImages.h"
#include <QPainter>

namespace pondel {
namespace {

// A host that answers only ARP, and an address another machine answers
// for, are told by a dot in the mark's corner and, in text mode, by the
// cell's colour.
const QColor kUpNoPingColor(255, 165, 0);
const QColor kAnotherMachineColor(220, 40, 40);

QPixmap WithDot(const QPixmap& mark, const QColor& color)
{
    if (mark.isNull())
        return mark;
    QPixmap marked = mark;
    QPainter painter(&marked);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::white);
    painter.setBrush(color);
    const int size = std::max(5, marked.width() / 2);
    painter.drawEllipse(marked.width() - size, marked.height() - size, size - 1, size - 1);
    return marked;
}

HostLinkState LinkStateOf(const HostRow& row)
{
    return static_cast<HostLinkState>(row.host.linkState);
}

} // namespace

HostTableModel::HostTableModel(QObject* parent)
    : QAbstractTableModel(parent)
    , wakingMark_(WakingMarkImage())
    , noAnswerMark_(NoAnswerMarkImage())
{
}

int HostTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int HostTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant HostTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const HostRow& row = rows_[static_cast<std::size_t>(index.row())];
    const int column = index.column();
    if (column == 0 && role != kActiveRole && role != kMarkIndentRole) {
        if (const RowWake* wake = WakeOfRow(row))
            return WakeData(row, *wake, role);
    }
    switch (role) {
    case Qt::DisplayRole:
        if (column == kVendorColumn)
            return VendorOf(row.host.macAddr);
        return RowText(row, column, style_);
    case Qt::DecorationRole:
        if (column == 0 && !style_.textMode)
            return Mark(row);
        return {};
    case Qt::ForegroundRole:
        if (IsTextMark(row, column))
            return style_.textColor;
        return {};
    case Qt::BackgroundRole:
        if (IsTextMark(row, column))
            return MarkBackground(row);
        return {};
    case Qt::ToolTipRole:
        return ToolTip(row);
    case Qt::TextAlignmentRole:
        return column == 0 ? int{Qt::AlignCenter} : int{Qt::AlignLeft | Qt::AlignVCenter};
    case kMarkIndentRole:
        return markIndent_;
    case kActiveRole:
        return row.host.active != 0;
    default:
        return {};
    }
}

QVariant HostTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= headers_.size())
        return {};
    if (role == Qt::DisplayRole)
        return headers_[section];
    if (role == Qt::TextAlignmentRole)
        return section == 0 ? int{Qt::AlignCenter} : int{Qt::AlignLeft | Qt::AlignVCenter};
    return {};
}

void HostTableModel::SetHeaders(const QStringList& headers)
{
    headers_ = headers;
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

void HostTableModel::SetMarkImages(const QPixmap& inactive, const QPixmap& active)
{
    inactiveMark_ = inactive;
    activeMark_ = active;
    upNoPingMark_ = WithDot(active, kUpNoPingColor);
    anotherMachineMark_ = WithDot(inactive, kAnotherMachineColor);
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0));
}

void HostTableModel::SetMarkStyle(const MarkStyle& style)
{
    style_ = style;
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0));
}

void HostTableModel::SetMarkIndent(int indent)
{
    markIndent_ = indent;
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {kMarkIndentRole});
}

bool HostTableModel::IsTextMark(const HostRow& row, int column) const
{
    return column == 0 && style_.textMode &&
        (row.host.active != 0 || LinkStateOf(row) == HostLinkState::kAnotherMachine);
}

QVariant HostTableModel::Mark(const HostRow& row) const
{
    switch (LinkStateOf(row)) {
    case HostLinkState::kUpNoPing:
        return upNoPingMark_;
    case HostLinkState::kAnotherMachine:
        return anotherMachineMark_;
    case HostLinkState::kEchoOnly:
        break;
    }
    return row.host.active != 0 ? activeMark_ : inactiveMark_;
}

QVariant HostTableModel::MarkBackground(const HostRow& row) const
{
    switch (LinkStateOf(row)) {
    case HostLinkState::kUpNoPing:
        return kUpNoPingColor;
    case HostLinkState::kAnotherMachine:
        return kAnotherMachineColor;
    case HostLinkState::kEchoOnly:
        break;
    }
    return style_.backColor;
}

QString HostTableModel::VendorOf(const char* mac) const
{
    return vendorOf_ && mac[0] != '\0' ? vendorOf_(mac) : QString();
}

void HostTableModel::VendorsRead()
{
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1),
            {Qt::DisplayRole, Qt::ToolTipRole});
    emit vendorsRead();
}

QString HostTableModel::MacWithVendor(const char* mac) const
{
    const QString vendor = VendorOf(mac);
    const QString text = QString::fromUtf8(mac);
    return vendor.isEmpty() ? text : tr("%1 (%2)").arg(text, vendor);
}

QString HostTableModel::ToolTip(const HostRow& row) const
{
    const tHostInfo& host = row.host;
    switch (LinkStateOf(row)) {
    case HostLinkState::kUpNoPing:
        return tr("Running, but does not answer ping: %1 answered ARP")
            .arg(MacWithVendor(host.answeredMac));
    case HostLinkState::kAnotherMachine:
        return tr("Another machine answers for this address: %1 answered, %2 expected")
            .arg(MacWithVendor(host.answeredMac), MacWithVendor(host.macAddr));
    case HostLinkState::kEchoOnly:
        break;
    }
    const QString vendor = VendorOf(host.macAddr);
    return vendor.isEmpty() ? QString() : MacWithVendor(host.macAddr);
}

void HostTableModel::SetVendorLookup(std::function<QString(const char* mac)> vendorOf)
{
    vendorOf_ = std::move(vendorOf);
}

void HostTableModel::SetProbeResult(int row, const tHostInfo& probed)
{
    tHostInfo& target = rows_.at(static_cast<std::size_t>(row)).host;
    if (target.active == probed.active && target.linkState == probed.linkState &&
        std::strcmp(target.answeredMac, probed.answeredMac) == 0)
        return;
    target.active = probed.active;
    target.linkState = probed.linkState;
    std::memcpy(target.answeredMac, probed.answeredMac, sizeof target.answeredMac);
    emit dataChanged(index(row, 0), index(row, 0));
}

void HostTableModel::RemoveRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

HostList HostTableModel::Hosts() const
{
    HostList hosts;
    hosts.Reserve(static_cast<std::int32_t>(rows_.size()));
    for (const HostRow& row : rows_)
        (void)hosts.Append(row.host);
    return hosts;
}

void HostTableModel::ResetRows(std::vector<HostRow> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void HostTableModel::SetActive(int row, bool active)
{
    tHostInfo& target = rows_.at(static_cast<std::size_t>(row)).host;
    FollowActiveFlag(target, active);
    if ((target.active != 0) == active)
        return;
    target.active = active ? 1 : 0;
    emit dataChanged(index(row, 0), index(row, 0));
}

void HostTableModel::SetItemData(int row, int itemData)
{
    rows_.at(static_cast<std::size_t>(row)).itemData = itemData;
}

void HostTableModel::InsertHostRow(int row, const HostRow& hostRow)
{
    beginInsertRows({}, row, row);
    rows_.insert(rows_.begin() + row, hostRow);
    endInsertRows();
}

void HostTableModel::RemoveHostRow(int row)
{
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void HostTableModel::ReplaceHost(int row, const tHostInfo& host)
{
    rows_.at(static_cast<std::size_t>(row)).host = host;
    emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

void HostTableModel::Reorder(const std::vector<int>& order)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<HostRow> reordered;
    reordered.reserve(rows_.size());
    std::vector<int> newRowOf(rows_.size());
    for (std::size_t newRow = 0; newRow < order.size(); ++newRow) {
        reordered.push_back(std::move(rows_[static_cast<std::size_t>(order[newRow])]));
        newRowOf[static_cast<std::size_t>(order[newRow])] = static_cast<int>(newRow);
    }
    rows_ = std::move(reordered);

    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after.append(index(newRowOf[static_cast<std::size_t>(old.row())], old.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

const RowWake* HostTableModel::WakeOfRow(const HostRow& row) const
{
    if (wakes_.empty())
        return nullptr;
    return WakeOf(WakeWatchKeyOf(row.host.ipAddr, row.host.macAddr));
}

const RowWake* HostTableModel::WakeOf(const WakeWatchKey& key) const
{
    const auto found = wakes_.find(key);
    return found == wakes_.end() ? nullptr : &found->second;
}

QVariant HostTableModel::WakeData(const HostRow& row, const RowWake& wake, int role) const
{
    const bool up = wake.mark == WakeMark::kUp;
    switch (role) {
    case Qt::DisplayRole:
    case kWakeRole:
        if (!style_.textMode || role == kWakeRole)
            return WakeText(wake);
        // Text mode: the active mark for an answer, a sign of its own else.
        return (up                                      ? style_.markText
                       : wake.mark == WakeMark::kWaking ? QStringLiteral("~")
                                                        : QStringLiteral("!")) +
            QLatin1Char(' ') + WakeText(wake);
    case Qt::DecorationRole:
        if (style_.textMode)
            return {};
        return up ? activeMark_ : (wake.mark == WakeMark::kWaking ? wakingMark_ : noAnswerMark_);
    case Qt::ToolTipRole:
        return WakeToolTip(wake);
    case Qt::ForegroundRole:
        return up && IsTextMark(row, 0) ? QVariant(style_.textColor) : QVariant();
    case Qt::BackgroundRole:
        return up && IsTextMark(row, 0) ? QVariant(style_.backColor) : QVariant();
    case Qt::TextAlignmentRole:
        return int{Qt::AlignLeft | Qt::AlignVCenter};
    default:
        return {};
    }
}

void HostTableModel::SetWake(const WakeWatchKey& key, const RowWake& wake)
{
    wakes_[key] = wake;
    EmitMarkChanged(key);
}

void HostTableModel::ClearWake(const WakeWatchKey& key)
{
    if (wakes_.erase(key) != 0)
        EmitMarkChanged(key);
}

std::vector<int> HostTableModel::RowsOf(const WakeWatchKey& key) const
{
    std::vector<int> rows;
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        const tHostInfo& host = rows_[row].host;
        if (WakeWatchKeyOf(host.ipAddr, host.macAddr) == key)
            rows.push_back(static_cast<int>(row));
    }
    return rows;
}

std::vector<WakeWatchKey> HostTableModel::WakesWithoutRows() const
{
    std::map<WakeWatchKey, bool> shown;
    for (const auto& [key, wake] : wakes_)
        shown.emplace(key, false);
    for (const HostRow& row : rows_) {
        const auto found = shown.find(WakeWatchKeyOf(row.host.ipAddr, row.host.macAddr));
        if (found != shown.end())
            found->second = true;
    }
    std::vector<WakeWatchKey> gone;
    for (const auto& [key, isShown] : shown) {
        if (!isShown)
            gone.push_back(key);
    }
    return gone;
}

void HostTableModel::FollowActiveFlag(const tHostInfo& host, bool active)
{
    if (wakes_.empty())
        return;
    const WakeWatchKey key = WakeWatchKeyOf(host.ipAddr, host.macAddr);
    const auto found = wakes_.find(key);
    if (found == wakes_.end())
        return;
    if (found->second.mark == WakeMark::kWaking) {
        // A pass that finds it down leaves it waking.
        if (active)
            emit WakingHostAnswered(key);
        return;
    }
    if ((found->second.mark == WakeMark::kUp) != active) {
        wakes_.erase(found);
        EmitMarkChanged(key);
    }
}

void HostTableModel::EmitMarkChanged(const WakeWatchKey& key)
{
    for (const int row : RowsOf(key))
        emit dataChanged(index(row, 0), index(row, 0));
}

} // namespace pondel
