// The window's size and place: the default size, the stored geometry, and
// the Reset To Default Size and Move To Center commands.
#include "PondelDlg.h"

#include <QHeaderView>
#include <QScreen>
#include <QStyle>
#include <QTableView>

namespace pondel {
namespace {

// The original dialog's size in dialog units; a unit is a quarter of the
// font's average character width across and an eighth of its height down.
constexpr int kTemplateHeightUnits = 264;

} // namespace

QSize CPondelDlg::DefaultSize() const
{
    // All six columns at their measured widths, with room for the list's
    // edges and its vertical scroll bar.
    const ColumnWidths widths = MeasuredColumnWidths();
    const int edge = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, view_);
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view_);
    int columnsTotal = 8 * edge + scrollBar;
    for (const std::int32_t width : widths)
        columnsTotal += width;
    const int height = kTemplateHeightUnits * fontMetrics().height() / 8;
    return QSize(columnsTotal, height);
}

QPoint CPondelDlg::CenteredPosition(const QSize& frameSize) const
{
    const QRect area = screen()->availableGeometry();
    return QPoint(area.x() + (area.width() - frameSize.width()) / 2,
        area.y() + (area.height() - frameSize.height()) / 2);
}

void CPondelDlg::LayoutInitialWindow(const IniDocument& document)
{
    SetUpListView();
    SetUpStatusBar();

    const QSize defaultSize = DefaultSize();
    resize(defaultSize);
    initialLayout_ = ScreenRect{x(), y(), x() + defaultSize.width(), y() + defaultSize.height()};

    // Stored values are applied as they are; Move To Center and Reset To
    // Default Size bring back a window that lies off the screen.
    const auto storedX = ReadIntSetting(document, kWindowSection, kWindowXKey);
    const auto storedY = ReadIntSetting(document, kWindowSection, kWindowYKey);
    const auto storedWidth = ReadIntSetting(document, kWindowSection, kWindowWidthKey);
    const auto storedHeight = ReadIntSetting(document, kWindowSection, kWindowHeightKey);
    if (storedX || storedY)
        move(storedX.value_or(x()), storedY.value_or(y()));
    if (storedWidth || storedHeight)
        resize(storedWidth.value_or(width()), storedHeight.value_or(height()));
}

void CPondelDlg::ResetToDefaultSize()
{
    const ColumnWidths widths = MeasuredColumnWidths();
    settings_.columnWidths = widths;
    ApplyColumnWidths(widths);
    showNormal();
    const QSize size = DefaultSize();
    resize(size);
    const QSize frame = frameGeometry().size() - geometry().size();
    move(CenteredPosition(size + frame));
}

void CPondelDlg::MoveToCenter()
{
    move(CenteredPosition(frameGeometry().size()));
}

} // namespace pondel
