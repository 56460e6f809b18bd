#include "MarkDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "HostTableModel.h"

namespace pondel {

void MarkDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QVariant decoration = index.data(Qt::DecorationRole);
    if (index.column() != 0 || !decoration.canConvert<QPixmap>()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.icon = QIcon();
    background.features &= ~QStyleOptionViewItem::HasDecoration;
    background.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    const QPixmap mark = decoration.value<QPixmap>();
    const int indent = index.data(HostTableModel::kMarkIndentRole).toInt();
    const QPoint topLeft(option.rect.left() + indent,
        option.rect.top() + (option.rect.height() - mark.height()) / 2);
    painter->drawPixmap(topLeft, mark);
}

bool MarkDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
    const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString text = index.data(Qt::DisplayRole).toString();
    // The cell's padding is about one average character on either side.
    const int needed =
        option.fontMetrics.horizontalAdvance(text) + 2 * option.fontMetrics.averageCharWidth();
    if (text.isEmpty() || needed <= option.rect.width()) {
        QToolTip::hideText();
        return true;
    }
    QToolTip::showText(event->globalPos(), text, view->viewport(), option.rect);
    return true;
}

} // namespace pondel
