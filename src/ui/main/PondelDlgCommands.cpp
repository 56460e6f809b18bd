// Command routing: menus, toolbar, accelerators and the tray menu, all built
// from the command table, with their enabling rules.
#include "PondelDlg.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QSystemTrayIcon>
#include <QTableView>
#include <QTimer>
#include <QToolBar>

#include "HostTableModel.h"
#include "WindowWorkers.h"

namespace pondel {
namespace {

QString Translated(const char* text)
{
    return QCoreApplication::translate("Commands", text);
}

// The text of an item, with its accelerator shown the way Qt menus show one.
QString ItemText(const char* text, const CommandEntry& entry)
{
    QString itemText = Translated(text);
    const QKeySequence key = Accelerator(entry);
    if (!key.isEmpty())
        itemText += QLatin1Char('\t') + key.toString(QKeySequence::NativeText);
    return itemText;
}

std::vector<const CommandEntry*> BySlot(Placement CommandEntry::*surface)
{
    std::vector<const CommandEntry*> entries;
    for (const CommandEntry& entry : Commands()) {
        if ((entry.*surface).slot >= 0)
            entries.push_back(&entry);
    }
    std::ranges::sort(
        entries, {}, [surface](const CommandEntry* entry) { return (entry->*surface).slot; });
    return entries;
}

} // namespace

QAction* CPondelDlg::MakeAction(const CommandEntry& entry, const QString& text, QObject* owner)
{
    auto* action = new QAction(text, owner);
    action->setData(static_cast<int>(entry.id));
    if (entry.description != nullptr)
        action->setStatusTip(Translated(entry.description));
    const CommandId id = entry.id;
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    return action;
}

void CPondelDlg::SetUpMenus()
{
    const std::pair<MenuId, const char*> menus[] = {
        {MenuId::kFileMenu, QT_TR_NOOP("File(&F)")},
        {MenuId::kEditMenu, QT_TR_NOOP("Edit(&E)")},
        {MenuId::kViewMenu, QT_TR_NOOP("View(&V)")},
        {MenuId::kToolMenu, QT_TR_NOOP("Tool(&T)")},
        {MenuId::kHelpMenu, QT_TR_NOOP("Help(&H)")},
    };
    for (const auto& [id, title] : menus) {
        QMenu* menu = menuBar()->addMenu(tr(title));
        menu->setObjectName(QStringLiteral("menu%1").arg(static_cast<int>(id)));
        // Items are enabled by the state at the moment their menu opens.
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { ApplyMenuRules(menu); });
        menus_[id] = menu;
    }
    for (const CommandEntry& entry : Commands()) {
        if (entry.menu == MenuId::kNoMenu)
            continue;
        QMenu* menu = menus_.at(entry.menu);
        if (entry.menuSeparatorBefore)
            menu->addSeparator();
        QAction* action = MakeAction(entry, ItemText(entry.text, entry), menu);
        menu->addAction(action);
        actions_[entry.id].menu = action;
    }

    trayMenu_ = new QMenu(this);
    trayMenu_->setObjectName(QStringLiteral("trayMenu"));
    connect(trayMenu_, &QMenu::aboutToShow, this, [this] { ApplyMenuRules(trayMenu_); });
    for (const CommandEntry* entry : BySlot(&CommandEntry::tray)) {
        if (entry->tray.separatorBefore)
            trayMenu_->addSeparator();
        const char* text = entry->trayText != nullptr ? entry->trayText : entry->text;
        QAction* action = MakeAction(*entry, ItemText(text, *entry), trayMenu_);
        trayMenu_->addAction(action);
        actions_[entry->id].tray = action;
    }
}

void CPondelDlg::SetUpToolBar()
{
    toolBar_ = addToolBar(tr("Toolbar"));
    toolBar_->setObjectName(QStringLiteral("commandBar"));
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    for (const CommandEntry* entry : BySlot(&CommandEntry::toolbar)) {
        if (entry->toolbar.separatorBefore)
            toolBar_->addSeparator();
        QAction* action = MakeAction(*entry, Translated(entry->text), toolBar_);
        action->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(entry->icon))));
        action->setToolTip(Translated(entry->description));
        toolBar_->addAction(action);
        actions_[entry->id].toolbar = action;
    }
}

void CPondelDlg::SetUpAccelerators()
{
    // Keys work whether or not the menu would grey their item; the handlers
    // check what they need themselves.
    for (const CommandEntry& entry : Commands()) {
        const QKeySequence key = Accelerator(entry);
        if (key.isEmpty())
            continue;
        auto* shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WindowShortcut);
        const CommandId id = entry.id;
        const auto keyHandler = entry.keyHandler;
        connect(shortcut, &QShortcut::activated, this, [this, id, keyHandler] {
            if (keyHandler != nullptr)
                (this->*keyHandler)();
            else
                RunCommand(id);
        });
    }
}

void CPondelDlg::RemoveShutdownItem()
{
    QAction* item = actions_[CommandId::kShutdownHost].menu;
    if (item == nullptr)
        return;
    QMenu* tool = menus_.at(MenuId::kToolMenu);
    const QList<QAction*> items = tool->actions();
    const qsizetype position = items.indexOf(item);
    if (position > 0 && items[position - 1]->isSeparator())
        tool->removeAction(items[position - 1]);
    tool->removeAction(item);
    actions_[CommandId::kShutdownHost].menu = nullptr;
    item->deleteLater();
}

QMenu* CPondelDlg::MainMenu(MenuId menu) const
{
    const auto found = menus_.find(menu);
    return found == menus_.end() ? nullptr : found->second;
}

QAction* CPondelDlg::MenuAction(CommandId id) const
{
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second.menu;
}

QAction* CPondelDlg::ToolbarAction(CommandId id) const
{
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second.toolbar;
}

QAction* CPondelDlg::TrayAction(CommandId id) const
{
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second.tray;
}

void CPondelDlg::RunCommand(CommandId id)
{
    // The sweep holds the list: waiting for it would freeze the window.
    if (IsCollectRunning() && IdleWhileCollecting(id)) {
        SetStatusText(0, CollectionBusyText());
        return;
    }
    (this->*Command(id).handler)();
}

QString CPondelDlg::CollectionBusyText()
{
    return tr("Collecting host information: the list cannot be changed until it ends.");
}

bool CPondelDlg::Allows(CommandId id, bool allowedByRule, const CommandState& state)
{
    return allowedByRule && !(state.collectRunning && IdleWhileCollecting(id));
}

bool CPondelDlg::IsMinimizedOrHidden() const
{
    return isMinimized() || isHidden();
}

CommandState CPondelDlg::CurrentCommandState() const
{
    CommandState state;
    state.rowCount = model_->rowCount();
    state.selectedCount = SelectedCount();
    state.maxHostNum = settings_.maxHostNum;
    state.remoteShutdown = settings_.enableRemoteShutdown != 0;
    state.autoRefreshRunning = AutoRefreshRunning();
    state.minimized = IsMinimizedOrHidden();
    state.collectRunning = IsCollectRunning();
    // Asking the clipboard may wait on its owner; only a full list needs it.
    if (!MenuRuleAllows(MenuRule::kBelowMaxHosts, state)) {
        const QMimeData* clipboard = QApplication::clipboard()->mimeData();
        state.clipboardHasText = clipboard != nullptr && clipboard->hasText();
    }
    return state;
}

void CPondelDlg::ApplyMenuRules(QMenu* menu)
{
    const CommandState state = CurrentCommandState();
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() || !action->data().isValid())
            continue;
        const auto id = static_cast<CommandId>(action->data().toInt());
        action->setEnabled(Allows(id, MenuRuleAllows(Command(id).menuRule, state), state));
    }
}

void CPondelDlg::UpdateCommandState()
{
    const CommandState state = CurrentCommandState();
    SetStatusText(3, tr("List count: %1").arg(state.rowCount, 6));
    for (const auto& [id, surfaces] : actions_) {
        if (surfaces.toolbar != nullptr)
            surfaces.toolbar->setEnabled(
                Allows(id, ToolbarRuleAllows(Command(id).toolbarRule, state), state));
    }
    SetStatusText(2, tr("Selected: %1").arg(state.selectedCount, 6));
    // The hint stays while the list is empty, and goes once hosts came in,
    // by whatever command.
    if (state.rowCount > 0 && StatusText(0) == EmptyListHint())
        SetStatusText(0, {});
    else if (state.rowCount == 0 && StatusText(0).isEmpty())
        SetStatusText(0, EmptyListHint());
}

void CPondelDlg::AddTrayIcon()
{
    // Without a tray to show it in, the window minimises normally instead of
    // hiding where nothing could bring it back.
    if (trayIcon_ != nullptr || !QSystemTrayIcon::isSystemTrayAvailable())
        return;
    trayIcon_ = new QSystemTrayIcon(windowIcon(), this);
    trayIcon_->setToolTip(QStringLiteral("Vexmoor"));
    // Qt opens the context menu on a right-click only; other clicks do nothing.
    trayIcon_->setContextMenu(trayMenu_);
    trayIcon_->show();
}

void CPondelDlg::RemoveTrayIcon()
{
    if (trayIcon_ == nullptr)
        return;
    trayIcon_->hide();
    delete trayIcon_;
    trayIcon_ = nullptr;
}

void CPondelDlg::ApplyAutoRefresh()
{
    if (settings_.autoRefresh != 0 && !AutoRefreshRunning()) {
        StartAutoRefreshTimer();
        UpdateCommandState();
    } else if (settings_.autoRefresh == 0 && AutoRefreshRunning()) {
        autoRefreshTimer_->stop();
        UpdateCommandState();
    }
}

bool CPondelDlg::AutoRefreshRunning() const
{
    return autoRefreshTimer_->isActive();
}

void CPondelDlg::StartAutoRefreshTimer()
{
    // A period of 0 would ask for passes without pause.
    const std::uint32_t seconds = std::max<std::uint32_t>(settings_.timerInterval, 1);
    autoRefreshTimer_->start(std::chrono::seconds(seconds));
}

void CPondelDlg::StartAutoRefresh()
{
    if (!AutoRefreshRunning()) {
        StartAutoRefreshTimer();
        RequestStatusPass();
        UpdateCommandState();
    }
    settings_.autoRefresh = 1;
}

void CPondelDlg::StopAutoRefresh()
{
    if (AutoRefreshRunning()) {
        autoRefreshTimer_->stop();
        workers_->StopPass();
        UpdateCommandState();
    }
    settings_.autoRefresh = 0;
}

void CPondelDlg::OnMinimize()
{
    showMinimized();
    if (TrayIconAdded())
        hide();
}

void CPondelDlg::OnRestoreNormalSize()
{
    showNormal();
    raise();
    activateWindow();
}

void CPondelDlg::OnExitApplication()
{
    close();
}

} // namespace pondel
