#include "MarkDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "HostTableModel.h"

namespace pondel {
namespace {

// Pixels between the cell's edge, the mark and a woken host's text.
constexpr int kTextGap = 2;

} // namespace

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
    // A woken host's seconds follow its mark, which then moves to the left.
    const QString text = index.data(Qt::DisplayRole).toString();
    const int indent =
        text.isEmpty() ? index.data(HostTableModel::kMarkIndentRole).toInt() : kTextGap;
    const QPoint topLeft(option.rect.left() + indent,
        option.rect.top() + (option.rect.height() - mark.height()) / 2);
    painter->drawPixmap(topLeft, mark);
    if (text.isEmpty())
        return;
    QRect textRect = option.rect;
    textRect.setLeft(topLeft.x() + mark.width() + kTextGap);
    painter->setPen(option.palette.color(
        (option.state & QStyle::State_Selected) != 0 ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter,
        option.fontMetrics.elidedText(text, Qt::ElideRight, textRect.width()));
}

bool MarkDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
    const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    // A woken host's mark always explains itself.
    if (const QString tip = index.data(Qt::ToolTipRole).toString(); !tip.isEmpty()) {
        QToolTip::showText(event->globalPos(), tip, view->viewport(), option.rect);
        return true;
    }
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
