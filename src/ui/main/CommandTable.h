#pragma once

#include <span>
#include <string>
#include <vector>

#include <QKeySequence>

#include "CommandRules.h"

namespace pondel {

class CPondelDlg;

// The command ids of the window; menus, toolbar, accelerators and the tray
// menu all carry them.
enum class CommandId : int {
    kVersionInfo = 16,
    kExportHostList = 32775,
    kImportHostList = 32776,
    kAppend = 32780,
    kInsert = 32781,
    kEdit = 32782,
    kRemove = 32783,
    kMoveUp = 32784,
    kMoveDown = 32785,
    kCancelSelect = 32786,
    kRefresh = 32790,
    kActiveCheck = 32791,
    kAutoRefreshStart = 32792,
    kAutoRefreshStop = 32793,
    kResetToDefaultSize = 32794,
    kMinimize = 32795,
    kRestoreNormalSize = 32796,
    kMoveToCenter = 32797,
    kWakeUp = 32800,
    kWakeUpNonBroadcast = 32801,
    kGetIpAddress = 32802,
    kGetMacAddress = 32803,
    kGetHostName = 32804,
    kSendIcmp = 32805,
    kCollectHosts = 32806,
    kShutdownHost = 32807,
    kOption = 32809,
    kLastWake = 32810,
    kSelectGroup = 32811,
    kWakeGroup = 32812,
    kWakeAll = 32813,
    kListenForWake = 32814,
    kCopy = 57634,
    kCut = 57635,
    kPaste = 57637,
    kSelectAll = 57642,
    kExitApplication = 57665,
};

enum class MenuId {
    kNoMenu,
    kFileMenu,
    kEditMenu,
    kViewMenu,
    kToolMenu,
    kHelpMenu
};

// Where an item sits in a menu-like surface; items of one surface keep the
// table's order, except on the toolbar, which has an order of its own.
struct Placement {
    int slot = -1; // -1: not on this surface
    bool separatorBefore = false;
};

// One command, declared once: rows name only what differs from these
// defaults. Texts are untranslated source texts in the "Commands" context.
struct CommandEntry {
    CommandId id{};
    const char* text = nullptr;        // menu text with its mnemonic; null: no menu item
    const char* trayText = nullptr;    // tray menu text, or null for the menu text
    const char* shortcut = nullptr;    // accelerator in portable text form, or null
    const char* icon = nullptr;        // toolbar image under :/icons, or null
    const char* description = nullptr; // tooltip and status text, or null
    void (CPondelDlg::*handler)() = nullptr;
    // What the accelerator runs where that differs from the item's handler.
    void (CPondelDlg::*keyHandler)() = nullptr;
    // A submenu in place of an item: its items are the names submenuItems
    // gives each time it opens (the list's groups, say), and choosing one
    // runs itemHandler with that name. Such a command has no handler, key or
    // toolbar button; its rules grey the whole submenu.
    std::vector<std::string> (CPondelDlg::*submenuItems)() const = nullptr;
    void (CPondelDlg::*itemHandler)(const std::string& item) = nullptr;
    MenuId menu = MenuId::kNoMenu;
    bool menuSeparatorBefore = false;
    Placement toolbar{};
    Placement tray{};
    MenuRule menuRule = MenuRule::kAlways;
    ToolbarRule toolbarRule = ToolbarRule::kAlways;
};

[[nodiscard]] std::span<const CommandEntry> Commands();
[[nodiscard]] const CommandEntry& Command(CommandId id);

// Commands that change the host list, and Import and Option: a running
// host collection holds the list until it ends, so they are greyed and
// refused meanwhile.
[[nodiscard]] bool IdleWhileCollecting(CommandId id);

// The accelerator of a command: what its menu item shows and what the window
// answers to. Empty when it has none.
[[nodiscard]] QKeySequence Accelerator(const CommandEntry& entry);

} // namespace pondel
