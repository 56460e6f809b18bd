#pragma once

#include <QStyledItemDelegate>

namespace pondel {

// Draws the mark image of column 0 at the row's indent, which the window
// keeps at the middle of the column, and shows a cell's text as a tooltip
// only when the cell is too narrow for it.
class MarkDelegate final : public QStyledItemDelegate {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MarkDelegate)

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
        const QModelIndex& index) override;
};

} // namespace pondel
