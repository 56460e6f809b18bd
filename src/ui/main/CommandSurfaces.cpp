// Menus, toolbar, accelerators and the tray menu, all built from the command
// table, with their enabling rules.
#include "CommandSurfaces.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QSystemTrayIcon>
#include <QToolBar>

#include "AppSettings.h"
#include "AsciiText.h"
#include "HostTableModel.h"
#include "PondelDlg.h"

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

// The groups of the rows, those of them with a host that has a MAC address,
// and the hosts that have one. Names match without regard to ASCII case.
void CountGroups(const HostTableModel& rows, CommandState& state)
{
    std::set<std::string> groups;
    std::set<std::string> wakeableGroups;
    for (const HostRow& row : rows.Rows()) {
        const bool hasMac = row.host.macAddr[0] != '\0';
        if (hasMac)
            ++state.wakeableHostCount;
        if (row.host.group[0] == '\0')
            continue;
        std::string name = ToLowerAscii(FieldText(row.host.group));
        if (hasMac)
            wakeableGroups.insert(name);
        groups.insert(std::move(name));
    }
    state.groupCount = static_cast<int>(groups.size());
    state.wakeableGroupCount = static_cast<int>(wakeableGroups.size());
}

} // namespace

CommandSurfaces::CommandSurfaces(CPondelDlg& window, const AppSettings& settings)
    : window_(window)
    , settings_(settings)
{
    SetUpMenus();
    SetUpTrayMenu();
    SetUpToolBar();
    SetUpAccelerators();
}

CommandSurfaces::~CommandSurfaces()
{
    RemoveTrayIcon();
}

QAction* CommandSurfaces::MakeAction(const CommandEntry& entry, const QString& text, QObject* owner)
{
    auto* action = new QAction(text, owner);
    action->setData(static_cast<int>(entry.id));
    if (entry.description != nullptr)
        action->setStatusTip(Translated(entry.description));
    const CommandId id = entry.id;
    CPondelDlg* window = &window_;
    QObject::connect(action, &QAction::triggered, window, [window, id] { window->RunCommand(id); });
    return action;
}

QAction* CommandSurfaces::MakeSubmenu(
    const CommandEntry& entry, const QString& text, QMenu* parent, const QString& name)
{
    auto* submenu = new QMenu(text, parent);
    submenu->setObjectName(name);
    QAction* action = submenu->menuAction();
    action->setData(static_cast<int>(entry.id));
    if (entry.description != nullptr)
        action->setStatusTip(Translated(entry.description));
    // The items are the names as they are when the submenu opens: the rows
    // may have changed since it last did.
    QObject::connect(submenu, &QMenu::aboutToShow, &window_,
        [this, submenu, &entry] { FillSubmenu(*submenu, entry); });
    return action;
}

void CommandSurfaces::FillSubmenu(QMenu& submenu, const CommandEntry& entry)
{
    submenu.clear();
    const CommandId id = entry.id;
    CPondelDlg* window = &window_;
    for (const std::string& item : (window_.*entry.submenuItems)()) {
        // A name is shown as it is, without a mnemonic.
        QString text = QString::fromStdString(item);
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = submenu.addAction(text);
        QObject::connect(action, &QAction::triggered, window,
            [window, id, item] { window->RunCommand(id, item); });
    }
}

QAction* CommandSurfaces::AddMenuItem(QMenu* menu, const CommandEntry& entry, const char* text)
{
    QAction* action = nullptr;
    if (entry.submenuItems != nullptr) {
        const QString name =
            QStringLiteral("%1Submenu%2").arg(menu->objectName()).arg(static_cast<int>(entry.id));
        action = MakeSubmenu(entry, Translated(text), menu, name);
    } else {
        action = MakeAction(entry, ItemText(text, entry), menu);
    }
    menu->addAction(action);
    return action;
}

void CommandSurfaces::SetUpMenus()
{
    const std::pair<MenuId, const char*> menus[] = {
        {MenuId::kFileMenu, QT_TRANSLATE_NOOP("pondel::CPondelDlg", "File(&F)")},
        {MenuId::kEditMenu, QT_TRANSLATE_NOOP("pondel::CPondelDlg", "Edit(&E)")},
        {MenuId::kViewMenu, QT_TRANSLATE_NOOP("pondel::CPondelDlg", "View(&V)")},
        {MenuId::kToolMenu, QT_TRANSLATE_NOOP("pondel::CPondelDlg", "Tool(&T)")},
        {MenuId::kHelpMenu, QT_TRANSLATE_NOOP("pondel::CPondelDlg", "Help(&H)")},
    };
    for (const auto& [id, title] : menus) {
        QMenu* menu = window_.menuBar()->addMenu(CPondelDlg::tr(title));
        menu->setObjectName(QStringLiteral("menu%1").arg(static_cast<int>(id)));
        // Items are enabled by the state at the moment their menu opens.
        QObject::connect(
            menu, &QMenu::aboutToShow, &window_, [this, menu] { ApplyMenuRules(menu); });
        menus_[id] = menu;
    }
    for (const CommandEntry& entry : Commands()) {
        if (entry.menu == MenuId::kNoMenu)
            continue;
        QMenu* menu = menus_.at(entry.menu);
        if (entry.menuSeparatorBefore)
            menu->addSeparator();
        actions_[entry.id].menu = AddMenuItem(menu, entry, entry.text);
    }
}

void CommandSurfaces::SetUpTrayMenu()
{
    trayMenu_ = new QMenu(&window_);
    trayMenu_->setObjectName(QStringLiteral("trayMenu"));
    QObject::connect(
        trayMenu_, &QMenu::aboutToShow, &window_, [this] { ApplyMenuRules(trayMenu_); });
    for (const CommandEntry* entry : BySlot(&CommandEntry::tray)) {
        if (entry->tray.separatorBefore)
            trayMenu_->addSeparator();
        const char* text = entry->trayText != nullptr ? entry->trayText : entry->text;
        actions_[entry->id].tray = AddMenuItem(trayMenu_, *entry, text);
    }
}

void CommandSurfaces::SetUpToolBar()
{
    toolBar_ = window_.addToolBar(CPondelDlg::tr("Toolbar"));
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

void CommandSurfaces::SetUpAccelerators()
{
    // Keys work whether or not the menu would grey their item; the handlers
    // check what they need themselves.
    CPondelDlg* window = &window_;
    for (const CommandEntry& entry : Commands()) {
        const QKeySequence key = Accelerator(entry);
        if (key.isEmpty())
            continue;
        auto* shortcut = new QShortcut(key, window);
        shortcut->setContext(Qt::WindowShortcut);
        const CommandId id = entry.id;
        const auto keyHandler = entry.keyHandler;
        QObject::connect(shortcut, &QShortcut::activated, window, [window, id, keyHandler] {
            if (keyHandler != nullptr)
                (window->*keyHandler)();
            else
                window->RunCommand(id);
        });
    }
}

void CommandSurfaces::RemoveShutdownItem()
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

void CommandSurfaces::RestoreShutdownItem()
{
    const CommandEntry& entry = Command(CommandId::kShutdownHost);
    if (actions_[entry.id].menu != nullptr)
        return;
    QMenu* menu = menus_.at(entry.menu);
    // Back in its place: before the next command of its menu that is there,
    // and before the separator that leads to that command.
    QAction* next = nullptr;
    bool past = false;
    for (const CommandEntry& other : Commands()) {
        if (other.id == entry.id) {
            past = true;
        } else if (past && other.menu == entry.menu && MenuAction(other.id) != nullptr) {
            next = MenuAction(other.id);
            break;
        }
    }
    QAction* anchor = next;
    if (next != nullptr) {
        const QList<QAction*> items = menu->actions();
        const qsizetype position = items.indexOf(next);
        if (position > 0 && items[position - 1]->isSeparator())
            anchor = items[position - 1];
    }
    QAction* item = MakeAction(entry, Translated(entry.text), menu);
    menu->insertAction(anchor, item);
    if (entry.menuSeparatorBefore)
        menu->insertSeparator(item);
    actions_[entry.id].menu = item;
}

QMenu* CommandSurfaces::MainMenu(MenuId menu) const
{
    const auto found = menus_.find(menu);
    return found == menus_.end() ? nullptr : found->second;
}

QAction* CommandSurfaces::MenuAction(CommandId id) const
{
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second.menu;
}

QAction* CommandSurfaces::ToolbarAction(CommandId id) const
{
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second.toolbar;
}

QAction* CommandSurfaces::TrayAction(CommandId id) const
{
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second.tray;
}

bool CommandSurfaces::Allows(CommandId id, bool allowedByRule, const CommandState& state)
{
    return allowedByRule && !(state.collectRunning && IdleWhileCollecting(id));
}

CommandState CommandSurfaces::CurrentState(bool countGroups) const
{
    CommandState state;
    state.rowCount = window_.HostRows()->rowCount();
    state.selectedCount = window_.SelectedCount();
    state.maxHostNum = settings_.maxHostNum;
    state.remoteShutdown = settings_.enableRemoteShutdown != 0;
    state.autoRefreshRunning = window_.AutoRefreshRunning();
    state.minimized = window_.isMinimized() || window_.isHidden();
    state.collectRunning = window_.IsCollectRunning();
    // Asking the clipboard may wait on its owner; only a full list needs it.
    if (!MenuRuleAllows(MenuRule::kBelowMaxHosts, state)) {
        const QMimeData* clipboard = QApplication::clipboard()->mimeData();
        state.clipboardHasText = clipboard != nullptr && clipboard->hasText();
    }
    if (countGroups)
        CountGroups(*window_.HostRows(), state);
    return state;
}

void CommandSurfaces::ApplyMenuRules(QMenu* menu)
{
    const CommandState state = CurrentState(true);
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() || !action->data().isValid())
            continue;
        const auto id = static_cast<CommandId>(action->data().toInt());
        action->setEnabled(Allows(id, MenuRuleAllows(Command(id).menuRule, state), state));
    }
}

CommandState CommandSurfaces::UpdateToolbar()
{
    const CommandState state = CurrentState();
    for (const auto& [id, surfaces] : actions_) {
        if (surfaces.toolbar != nullptr)
            surfaces.toolbar->setEnabled(
                Allows(id, ToolbarRuleAllows(Command(id).toolbarRule, state), state));
    }
    return state;
}

void CommandSurfaces::AddTrayIcon()
{
    // Without a tray to show it in, the window minimises normally instead of
    // hiding where nothing could bring it back.
    if (trayIcon_ != nullptr || !QSystemTrayIcon::isSystemTrayAvailable())
        return;
    trayIcon_ = new QSystemTrayIcon(window_.windowIcon(), &window_);
    trayIcon_->setToolTip(QStringLiteral("Vexmoor"));
    // Qt opens the context menu on a right-click only; other clicks do nothing.
    trayIcon_->setContextMenu(trayMenu_);
    trayIcon_->show();
}

void CommandSurfaces::RemoveTrayIcon()
{
    if (trayIcon_ == nullptr)
        return;
    trayIcon_->hide();
    delete trayIcon_;
    trayIcon_ = nullptr;
}

void CommandSurfaces::ShowTrayMessage(const QString& title, const QString& text)
{
    if (trayIcon_ == nullptr)
        return;
    trayIcon_->showMessage(title, text);
}

} // namespace pondel
