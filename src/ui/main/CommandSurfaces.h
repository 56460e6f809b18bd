#pragma once

#include <map>

#include "CommandRules.h"
#include "CommandTable.h"

class QAction;
class QMenu;
class QObject;
class QString;
class QSystemTrayIcon;
class QToolBar;

namespace pondel {

struct AppSettings;
class CPondelDlg;

// Where the commands of the command table show: the menu bar, the toolbar,
// the accelerator keys, and the tray icon with its menu. Items and buttons
// are enabled by the rules of the table for the window's present state.
class CommandSurfaces final {
public:
    // Builds the menus, the toolbar and the keys into the window.
    CommandSurfaces(CPondelDlg& window, const AppSettings& settings);
    ~CommandSurfaces();
    CommandSurfaces(const CommandSurfaces&) = delete;
    CommandSurfaces& operator=(const CommandSurfaces&) = delete;

    // The toolbar buttons follow the state; returns it for the count panes.
    CommandState UpdateToolbar();

    [[nodiscard]] QMenu* MainMenu(MenuId menu) const;
    // The menu item, the toolbar button's action and the tray item of a
    // command; null where the command has none.
    [[nodiscard]] QAction* MenuAction(CommandId id) const;
    [[nodiscard]] QAction* ToolbarAction(CommandId id) const;
    [[nodiscard]] QAction* TrayAction(CommandId id) const;
    [[nodiscard]] QToolBar* CommandBar() const noexcept { return toolBar_; }
    [[nodiscard]] QMenu* TrayMenu() const noexcept { return trayMenu_; }

    // The Shutdown item leaves and comes back with ENABLE_REMOTE_SHUTDOWN.
    void RemoveShutdownItem();
    void RestoreShutdownItem();

    void AddTrayIcon();
    void RemoveTrayIcon();
    [[nodiscard]] bool TrayIconAdded() const noexcept { return trayIcon_ != nullptr; }
    // A notification from the tray icon; nothing without one.
    void ShowTrayMessage(const QString& title, const QString& text);

private:
    struct Surfaces {
        QAction* menu = nullptr;
        QAction* toolbar = nullptr;
        QAction* tray = nullptr;
    };

    void SetUpMenus();
    void SetUpTrayMenu();
    void SetUpToolBar();
    void SetUpAccelerators();
    QAction* MakeAction(const CommandEntry& entry, const QString& text, QObject* owner);
    // The item of a command with a submenu (CommandEntry::submenuItems); the
    // submenu is named `name` and filled afresh each time it opens.
    QAction* MakeSubmenu(
        const CommandEntry& entry, const QString& text, QMenu* parent, const QString& name);
    void FillSubmenu(QMenu& submenu, const CommandEntry& entry);
    // Adds a command's item, or its submenu, to a menu.
    QAction* AddMenuItem(QMenu* menu, const CommandEntry& entry, const char* text);
    void ApplyMenuRules(QMenu* menu);
    // countGroups: the group counts too, which look at every row.
    [[nodiscard]] CommandState CurrentState(bool countGroups = false) const;
    [[nodiscard]] static bool Allows(CommandId id, bool allowedByRule, const CommandState& state);

    CPondelDlg& window_;
    const AppSettings& settings_;
    QToolBar* toolBar_ = nullptr;
    QMenu* trayMenu_ = nullptr;
    QSystemTrayIcon* trayIcon_ = nullptr;
    std::map<MenuId, QMenu*> menus_;
    std::map<CommandId, Surfaces> actions_;
};

} // namespace pondel
