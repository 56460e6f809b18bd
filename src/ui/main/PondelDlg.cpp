#include "PondelDlg.h"

#include <utility>

#include <QCloseEvent>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QLabel>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTableView>

#include "AutoRefresh.h"
#include "CListenDlg.h"
#include "CommandSurfaces.h"
#include "HostListEditor.h"
#include "HostListPane.h"
#include "HostTableModel.h"
#include "ModalSeam.h"
#include "OptionsApplier.h"
#include "Result.h"
#include "VersionBox.h"
#include "WakingRows.h"
#include "WindowGeometry.h"
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

    surfaces_ = std::make_unique<CommandSurfaces>(*this, settings_);
    autoRefresh_ = std::make_unique<AutoRefresh>(*this, settings_, *workers_);

    list_ = std::make_unique<HostListPane>(*this, settingsPath_, settings_, hosts_, locks_);
    HostListView()->viewport()->installEventFilter(this);
    SetUpStatusBar();
    geometry_ = std::make_unique<WindowGeometry>(*this, *list_, settings_);
    geometry_->LayOut(startSettings);
    editor_ = std::make_unique<HostListEditor>(
        *this, *HostRows(), *HostListView(), settings_, hosts_, locks_, currentHost_, *workers_);
    options_ =
        std::make_unique<OptionsApplier>(*this, settings_, *list_, *surfaces_, *autoRefresh_);
    waking_ = std::make_unique<WakingRows>(*HostRows(), settings_, *surfaces_,
        [this](const std::vector<int>& rows) { workers_->RecheckHosts(rows); });
    UpdateCommandState();
    if (settings_.enableRemoteShutdown == 0)
        surfaces_->RemoveShutdownItem();
    if (settings_.taskTrayIcon != 0)
        surfaces_->AddTrayIcon();
    for (const StatusPane pane : {StatusPane::kGeneral, StatusPane::kProgress, StatusPane::kCount,
             StatusPane::kSelected, StatusPane::kProgress})
        SetStatusText(pane, {});
    RefillHostRows();
    // The toolbar and the selected count follow the selection as it changes,
    // the DEFAULT_HOST row's selection at start included.
    connect(HostListView()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &CPondelDlg::UpdateCommandState);
    if (const auto selected = list_->SelectDefaultHost(startSettings))
        currentHost_ = HostTexts{selected->hostName, selected->comment, selected->ipAddr,
            selected->netMask, selected->macAddr};
    // An empty list, as at a first start, says how to fill it.
    if (hosts_.IsEmpty())
        SetStatusText(StatusPane::kGeneral, EmptyListHint());
    autoRefresh_->FollowSetting();
}

QString CPondelDlg::EmptyListHint()
{
    return tr("No hosts yet: Edit > Append, or Tool > Collect host information");
}

CPondelDlg::~CPondelDlg()
{
    // Its listener's thread ends before any part goes.
    delete listenView_;
    waking_->Stop();
    workers_->Stop();
    surfaces_->RemoveTrayIcon();
    // The view and its model outlive the parts, as children of the window:
    // nothing they send while they go may reach a part that has gone.
    disconnect(HostListView()->selectionModel(), nullptr, this, nullptr);
    disconnect(HostListView()->horizontalHeader(), nullptr, this, nullptr);
    disconnect(HostListView(), nullptr, this, nullptr);
}

void CPondelDlg::SetStatusText(StatusPane pane, const QString& text)
{
    panes_[static_cast<std::size_t>(pane)]->setText(text);
}

QString CPondelDlg::StatusText(StatusPane pane) const
{
    return panes_[static_cast<std::size_t>(pane)]->text();
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
        SetStatusText(StatusPane::kGeneral,
            tip.isEmpty() && HostRows()->rowCount() == 0 ? EmptyListHint() : tip);
        return true;
    }
    return QMainWindow::event(event);
}

bool CPondelDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (list_ != nullptr && watched == HostListView()->viewport() &&
        event->type() == QEvent::Paint && !initialRefreshDone_ && !isMinimized()) {
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
    if (isMinimized() && surfaces_->TrayIconAdded())
        QMetaObject::invokeMethod(this, &QWidget::hide, Qt::QueuedConnection);
}

void CPondelDlg::OnCancel()
{
    if (HostListView()->selectionModel()->hasSelection())
        HostListView()->clearSelection();
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
    autoRefresh_->Halt();
    waking_->Stop();
    workers_->Stop();
    surfaces_->RemoveTrayIcon();
    WindowState state = geometry_->CurrentState();
    const std::vector<int> selected = SelectedRows();
    state.firstSelectedRow = selected.empty() ? -1 : selected.front();
    state.columnWidths = list_->CurrentColumnWidths();
    state.vendorColumnWidth = list_->VendorColumnWidth();
    state.groupColumnWidth = list_->GroupColumnWidth();
    const Result<void> saved = SaveSettings(settingsPath_, settings_, hosts_, state);
    if (!saved)
        ModalSeam::Error(this,
            tr("The settings could not be saved to %1.\n%2")
                .arg(QString::fromStdString(settingsPath_.string()),
                    QString::fromStdString(saved.Error().message)));
}

} // namespace pondel
