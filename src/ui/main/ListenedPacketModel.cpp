#include "ListenedPacketModel.h"

#include <algorithm>

#include <QDateTime>
#include <QStringList>

namespace pondel {
namespace {

QString TimeText(std::chrono::system_clock::time_point time)
{
    const auto msecs =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    return QDateTime::fromMSecsSinceEpoch(msecs).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

ListenedPacketModel::ListenedPacketModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int ListenedPacketModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ListenedPacketModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant ListenedPacketModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const HeardWakePacket& packet = rows_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole)
        return CellText(packet, index.column());
    if (role == Qt::TextAlignmentRole && index.column() == kRepeatsColumn)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ListenedPacketModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case kTimeColumn:
        return tr("Time");
    case kFromColumn:
        return tr("From");
    case kToColumn:
        return tr("To");
    case kPathColumn:
        return tr("Path");
    case kTargetColumn:
        return tr("Target MAC");
    case kHostColumn:
        return tr("Host");
    case kSecureOnColumn:
        return tr("SecureOn");
    case kRepeatsColumn:
        return tr("Repeats");
    default:
        return {};
    }
}

void ListenedPacketModel::Show(std::uint64_t run, const HeardWakePacket& packet)
{
    const auto key = std::make_pair(run, packet.line);
    const auto found = rowOfLine_.find(key);
    if (found == rowOfLine_.end()) {
        const int row = rowCount();
        beginInsertRows({}, row, row);
        rows_.push_back(packet);
        rowOfLine_.emplace(key, row);
        endInsertRows();
        return;
    }
    // Updates may overtake each other on their way; the count only grows.
    HeardWakePacket& shown = rows_[static_cast<std::size_t>(found->second)];
    shown.repeats = std::max(shown.repeats, packet.repeats);
    const QModelIndex cell = index(found->second, kRepeatsColumn);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void ListenedPacketModel::Clear()
{
    beginResetModel();
    rows_.clear();
    rowOfLine_.clear();
    endResetModel();
}

QString ListenedPacketModel::TabSeparatedText() const
{
    QStringList cells;
    for (int column = 0; column < kColumnCount; ++column)
        cells << headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    QString text = cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const HeardWakePacket& packet : rows_) {
        cells.clear();
        for (int column = 0; column < kColumnCount; ++column)
            cells << CellText(packet, column);
        text += cells.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

QString ListenedPacketModel::CellText(const HeardWakePacket& packet, int column)
{
    switch (column) {
    case kTimeColumn:
        return TimeText(packet.time);
    case kFromColumn:
        return QString::fromStdString(packet.from);
    case kToColumn:
        return QString::fromStdString(packet.to);
    case kPathColumn:
        return QString::fromStdString(packet.path);
    case kTargetColumn:
        return packet.vendor.empty() ? QString::fromStdString(packet.targetMac)
                                     : tr("%1 (%2)").arg(QString::fromStdString(packet.targetMac),
                                           QString::fromStdString(packet.vendor));
    case kHostColumn:
        return QString::fromStdString(packet.hostName);
    case kSecureOnColumn:
        return packet.secureOn ? tr("yes") : QString();
    case kRepeatsColumn:
        return QString::number(packet.repeats);
    default:
        return {};
    }
}

} // namespace pondel
