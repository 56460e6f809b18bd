#include "PondelDlg.h"

#include <string_view>
#include <utility>

#include <QCloseEvent>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTableView>
#include <QTimer>

#include "HostListEditor.h"
#include "HostTableModel.h"
#include "ModalSeam.h"
#include "Result.h"
#include "VersionBox.h"
#include "WindowWorkers.h"

namespace pondel {
namespace {

QIcon ProgramIcon()
{
    QIcon icon;
    for (const char* size : {"16", "32", "64"})
        icon.addFile(QStringLiteral(":/icons/pondel-%1.png").arg(QLatin1String(size)));
    return icon;
}

// Whether a stored number has digits at all: "x" would read as row 0.
bool HoldsNumber(std::string_view text)
{
    std::size_t at = text.find_first_not_of(" \t");
    if (at != std::string_view::npos && (text[at] == '-' || text[at] == '+'))
        ++at;
    return at < text.size() && text[at] >= '0' && text[at] <= '9';
}

// Everything the window writes back when it closes, in one step.
} // namespace

CPondelDlg::CPondelDlg(
    std::filesystem::path settingsPath, AppSettings& settings, HostList& hosts, QWidget* parent)
    : CPondelDlg(settingsPath, settings, hosts, SettingsFile::Open(settingsPath).Document(), parent)
{
}

CPondelDlg::CPondelDlg(std::filesystem::path settingsPath, AppSettings& settings, HostList& hosts,
    const IniDocument& startSettings, QWidget* parent)
    : QMainWindow(parent)
    , settingsPath_(std::move(settingsPath))
    , settings_(settings)
    , hosts_(hosts)
{
    setObjectName(QStringLiteral("mainWindow"));
    // Its monitor thread waits for requests, which come only once the
    // window has been laid out.
    workers_ = std::make_unique<WindowWorkers>(
        *this, settingsPath_, settings_, hosts_, locks_, currentHost_);

    setWindowIcon(ProgramIcon());
    setWindowTitle(ProgramVersionText());
    // The toolbar's hide menu would offer a way to lose it for good.
    setContextMenuPolicy(Qt::PreventContextMenu);

    SetUpMenus();
    SetUpToolBar();
    SetUpAccelerators();
    autoRefreshTimer_ = new QTimer(this);
    autoRefreshTimer_->setObjectName(QStringLiteral("autoRefreshTimer"));
    connect(autoRefreshTimer_, &QTimer::timeout, this, &CPondelDlg::RequestStatusPass);

    LayoutInitialWindow(startSettings);
    editor_ = std::make_unique<HostListEditor>(
        *this, *model_, *view_, settings_, hosts_, locks_, currentHost_, *workers_);
    UpdateCommandState();
    if (settings_.enableRemoteShutdown == 0)
        RemoveShutdownItem();
    if (settings_.taskTrayIcon != 0)
        AddTrayIcon();
    for (const int pane : {0, 1, 3, 2, 1})
        SetStatusText(pane, {});
    RefillHostRows();
    // The toolbar and the selected count follow the selection as it changes,
    // the DEFAULT_HOST row's selection at start included.
    connect(view_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &CPondelDlg::UpdateCommandState);
    SelectDefaultHost(startSettings);
    // An empty list, as at a first start, says how to fill it.
    if (hosts_.IsEmpty())
        SetStatusText(0, EmptyListHint());
    ApplyAutoRefresh();
}

QString CPondelDlg::EmptyListHint()
{
    return tr("No hosts yet: Edit > Append, or Tool > Collect host information");
}

CPondelDlg::~CPondelDlg()
{
    workers_->Stop();
    RemoveTrayIcon();
}

void CPondelDlg::SetStatusText(int pane, const QString& text)
{
    if (pane < 0 || pane >= kStatusPaneCount)
        return;
    panes_[static_cast<std::size_t>(pane)]->setText(text);
}

QString CPondelDlg::StatusText(int pane) const
{
    if (pane < 0 || pane >= kStatusPaneCount)
        return {};
    return panes_[static_cast<std::size_t>(pane)]->text();
}

QLabel* CPondelDlg::StatusPane(int pane) const
{
    if (pane < 0 || pane >= kStatusPaneCount)
        return nullptr;
    return panes_[static_cast<std::size_t>(pane)];
}

void CPondelDlg::SetUpStatusBar()
{
    // Panes 1 to 3 are as wide as their longest texts; pane 0 takes the rest
    // but never less than 100 pixels.
    const QString widthTexts[kStatusPaneCount] = {QString(),
        tr("During  active status updates :     1 /    0        "), tr("Selected:     0    "),
        tr("List count:      0    ")};
    for (int pane = 0; pane < kStatusPaneCount; ++pane) {
        auto* label = new QLabel(widthTexts[pane], statusBar());
        label->setObjectName(QStringLiteral("statusPane%1").arg(pane));
        if (pane == 0) {
            label->setMinimumWidth(100);
            statusBar()->addWidget(label, 1);
        } else {
            label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widthTexts[pane]));
            statusBar()->addPermanentWidget(label);
        }
        panes_[static_cast<std::size_t>(pane)] = label;
    }
}

bool CPondelDlg::event(QEvent* event)
{
    // A command's description goes to pane 0 while the pointer rests on its
    // button, and leaves with it.
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        // With the pointer gone, an empty list shows its hint again.
        SetStatusText(0, tip.isEmpty() && model_->rowCount() == 0 ? EmptyListHint() : tip);
        return true;
    }
    return QMainWindow::event(event);
}

bool CPondelDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (view_ != nullptr && watched == view_->viewport() && event->type() == QEvent::Paint &&
        !initialRefreshDone_ && !isMinimized()) {
        initialRefreshDone_ = true;
        if (settings_.initRefresh != 0)
            QMetaObject::invokeMethod(this, &CPondelDlg::RequestStatusPass, Qt::QueuedConnection);
    }
    return QMainWindow::eventFilter(watched, event);
}

void CPondelDlg::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    UpdateCommandState();
    // Minimised from the title bar: with a tray icon only the icon remains.
    if (isMinimized() && TrayIconAdded())
        QMetaObject::invokeMethod(this, &QWidget::hide, Qt::QueuedConnection);
}

void CPondelDlg::SelectDefaultHost(const IniDocument& document)
{
    const auto text = document.Find(kSettingSection, kDefaultHostKey);
    if (!text || !HoldsNumber(*text))
        return;
    const auto number = ReadIntSetting(document, kSettingSection, kDefaultHostKey);
    if (!number || *number < 0)
        return;
    // The number names a host section; sections without an address, which
    // a hand edit may leave, were not loaded and moved the rows after them.
    const auto row =
        RowOfHostSection(document, settings_.maxHostNum, static_cast<std::uint32_t>(*number));
    if (!row || *row >= model_->rowCount())
        return;
    SelectRow(*row);
    const tHostInfo& selected = model_->Rows()[static_cast<std::size_t>(*row)].host;
    currentHost_ = HostTexts{
        selected.hostName, selected.comment, selected.ipAddr, selected.netMask, selected.macAddr};
}

void CPondelDlg::SelectRow(int row)
{
    const QModelIndex index = model_->index(row, 0);
    view_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view_->scrollTo(index);
}

std::vector<int> CPondelDlg::SelectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : view_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::ranges::sort(rows);
    return rows;
}

int CPondelDlg::SelectedCount() const
{
    return static_cast<int>(view_->selectionModel()->selectedRows().size());
}

void CPondelDlg::OnCancel()
{
    if (view_->selectionModel()->hasSelection())
        view_->clearSelection();
}

void CPondelDlg::closeEvent(QCloseEvent* event)
{
    CloseDown();
    event->accept();
    emit Closed();
}

void CPondelDlg::CloseDown()
{
    if (closedDown_)
        return;
    closedDown_ = true;
    autoRefreshTimer_->stop();
    workers_->Stop();
    RemoveTrayIcon();
    const Result<void> saved =
        SaveSettings(settingsPath_, settings_, hosts_, CurrentWindowState());
    if (!saved)
        ModalSeam::Error(this,
            tr("The settings could not be saved to %1.\n%2")
                .arg(QString::fromStdString(settingsPath_.string()),
                    QString::fromStdString(saved.Error().message)));
}

WindowState CPondelDlg::CurrentWindowState() const
{
    WindowState state;
    // A minimised window, or one hidden in the tray, keeps the stored
    // geometry.
    if (!isMinimized() && !isHidden()) {
        // A maximized window keeps the size it will come back to, when it
        // has one.
        const QRect normal =
            isMaximized() && normalGeometry().isValid() ? normalGeometry() : geometry();
        const QPoint origin = normal.topLeft() - (geometry().topLeft() - pos());
        state.window = ScreenRect{
            origin.x(), origin.y(), origin.x() + normal.width(), origin.y() + normal.height()};
        state.fallback = initialLayout_;
    }
    const QRect screen = this->screen()->virtualGeometry();
    state.virtualScreenWidth = screen.width();
    state.virtualScreenHeight = screen.height();
    const std::vector<int> selected = SelectedRows();
    state.firstSelectedRow = selected.empty() ? -1 : selected.front();
    for (int column = 0; column < HostTableModel::kColumnCount; ++column)
        state.columnWidths[static_cast<std::size_t>(column)] =
            view_->horizontalHeader()->sectionSize(column);
    return state;
}

} // namespace pondel
