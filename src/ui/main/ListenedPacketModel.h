#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include <QAbstractTableModel>
#include <QString>

#include "WakeListener.h"

namespace pondel {

// The rows of the Listen for Wake Packets window: one a line the listener
// reported, in the order they came. A listener numbers its lines from 1 on
// each start, so a row is known by its run and line together; an update of
// a line already shown only changes its repeat count.
class ListenedPacketModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListenedPacketModel)

public:
    enum Column {
        kTimeColumn,
        kFromColumn,
        kToColumn,
        kPathColumn,
        kTargetColumn,
        kHostColumn,
        kSecureOnColumn,
        kRepeatsColumn,
        kColumnCount
    };

    explicit ListenedPacketModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // A new line becomes a row at the end; a line already shown takes the
    // larger repeat count. A line whose row was cleared comes back as a row.
    void Show(std::uint64_t run, const HeardWakePacket& packet);
    void Clear();

    // A header line, then a line for each row, the cells as the table shows
    // them, separated by tabs. Only the header when there are no rows.
    [[nodiscard]] QString TabSeparatedText() const;

    // The cell's text; the SecureOn password is never kept, only whether
    // there was one.
    [[nodiscard]] static QString CellText(const HeardWakePacket& packet, int column);

private:
    std::vector<HeardWakePacket> rows_;
    // (run, line) -> row
    std::map<std::pair<std::uint64_t, std::uint64_t>, int> rowOfLine_;
};

} // namespace pondel
