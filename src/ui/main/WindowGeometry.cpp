// The window's size and place.
#include "WindowGeometry.h"

#include <QMainWindow>
#include <QScreen>
#include <QStyle>
#include <QTableView>

#include "HostListPane.h"

namespace pondel {
namespace {

// The default height, in eighths of the font's height: the window grows with
// its font, as the measured column widths do.
constexpr int kDefaultHeightUnits = 264;

} // namespace

WindowGeometry::WindowGeometry(QMainWindow& window, HostListPane& list, AppSettings& settings)
    : window_(window)
    , list_(list)
    , settings_(settings)
{
}

QSize WindowGeometry::DefaultSize() const
{
    // All six columns at their measured widths, with room for the list's
    // edges and its vertical scroll bar.
    const ColumnWidths widths = list_.MeasuredColumnWidths();
    const QStyle* style = window_.style();
    const int edge = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, list_.View());
    const int scrollBar = style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list_.View());
    int columnsTotal = 8 * edge + scrollBar;
    for (const std::int32_t width : widths)
        columnsTotal += width;
    const int height = kDefaultHeightUnits * window_.fontMetrics().height() / 8;
    return QSize(columnsTotal, height);
}

QPoint WindowGeometry::CenteredPosition(const QSize& frameSize) const
{
    const QRect area = window_.screen()->availableGeometry();
    return QPoint(area.x() + (area.width() - frameSize.width()) / 2,
        area.y() + (area.height() - frameSize.height()) / 2);
}

void WindowGeometry::LayOut(const IniDocument& document)
{
    const QSize defaultSize = DefaultSize();
    window_.resize(defaultSize);
    const int x = window_.x();
    const int y = window_.y();
    initialLayout_ = ScreenRect{x, y, x + defaultSize.width(), y + defaultSize.height()};

    // Stored values are applied as they are; Move To Center and Reset To
    // Default Size bring back a window that lies off the screen.
    const auto storedX = ReadIntSetting(document, kWindowSection, kWindowXKey);
    const auto storedY = ReadIntSetting(document, kWindowSection, kWindowYKey);
    const auto storedWidth = ReadIntSetting(document, kWindowSection, kWindowWidthKey);
    const auto storedHeight = ReadIntSetting(document, kWindowSection, kWindowHeightKey);
    if (storedX || storedY)
        window_.move(storedX.value_or(x), storedY.value_or(y));
    if (storedWidth || storedHeight)
        window_.resize(
            storedWidth.value_or(window_.width()), storedHeight.value_or(window_.height()));
    // Shown maximized, over the normal size just laid out, to which the
    // window returns.
    if (ReadIntSetting(document, kWindowSection, kWindowMaximizedKey).value_or(0) == 1)
        window_.setWindowState(window_.windowState() | Qt::WindowMaximized);
}

void WindowGeometry::ResetToDefaultSize()
{
    const ColumnWidths widths = list_.MeasuredColumnWidths();
    settings_.columnWidths = widths;
    list_.ApplyColumnWidths(widths);
    list_.ResetGroupColumnWidth();
    window_.showNormal();
    const QSize size = DefaultSize();
    window_.resize(size);
    const QSize frame = window_.frameGeometry().size() - window_.geometry().size();
    window_.move(CenteredPosition(size + frame));
}

void WindowGeometry::MoveToCenter()
{
    window_.move(CenteredPosition(window_.frameGeometry().size()));
}

WindowState WindowGeometry::CurrentState() const
{
    WindowState state;
    // A minimised window, or one hidden in the tray, keeps the stored
    // geometry.
    if (!window_.isMinimized() && !window_.isHidden()) {
        // A maximized window keeps the size it will come back to, when it
        // has one.
        const QRect geometry = window_.geometry();
        const QRect normal = window_.isMaximized() && window_.normalGeometry().isValid()
            ? window_.normalGeometry()
            : geometry;
        const QPoint origin = normal.topLeft() - (geometry.topLeft() - window_.pos());
        state.window = ScreenRect{
            origin.x(), origin.y(), origin.x() + normal.width(), origin.y() + normal.height()};
        state.fallback = initialLayout_;
        state.maximized = window_.isMaximized();
    }
    const QRect screen = window_.screen()->virtualGeometry();
    state.virtualScreenWidth = screen.width();
    state.virtualScreenHeight = screen.height();
    return state;
}

} // namespace pondel
