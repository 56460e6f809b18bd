#include "ColorSwatch.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyleOptionFrame>

namespace pondel {

ColorSwatch::ColorSwatch(QWidget* parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void ColorSwatch::SetColor(const QColor& color)
{
    color_ = color;
    update();
}

QSize ColorSwatch::sizeHint() const
{
    return QSize(36, 20);
}

void ColorSwatch::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.lineWidth = 1;
    frame.midLineWidth = 0;
    frame.state |= QStyle::State_Sunken;
    const int border = 2;
    if (isEnabled())
        painter.fillRect(rect().adjusted(border, border, -border, -border), color_);
    style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(border + 1, border + 1, -border - 1, -border - 1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

} // namespace pondel
