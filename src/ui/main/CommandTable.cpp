#include "CommandTable.h"

#include <array>

#include <QtGlobal>

#include "PondelDlg.h"

namespace pondel {
namespace {

using enum CommandId;
using M = MenuRule;
using T = ToolbarRule;

constexpr Placement Slot(int slot, bool separatorBefore = false)
{
    return Placement{slot, separatorBefore};
}

// Menus in the order of their items; the toolbar and tray menu by slot.
const std::array kCommands{
    CommandEntry{
        .id = kExportHostList,
        .text = QT_TRANSLATE_NOOP("Commands", "Export Host List(&E)..."),
        .handler = &CPondelDlg::OnExportHostList,
        .menu = MenuId::kFileMenu,
        .menuRule = M::kHasRows,
    },
    CommandEntry{
        .id = kImportHostList,
        .text = QT_TRANSLATE_NOOP("Commands", "Import Host List(&I)..."),
        .handler = &CPondelDlg::OnImportHostList,
        .menu = MenuId::kFileMenu,
        .menuRule = M::kBelowMaxHosts,
    },
    CommandEntry{
        .id = kExitApplication,
        .text = QT_TRANSLATE_NOOP("Commands", "Exit Application(&X)"),
        .trayText = QT_TRANSLATE_NOOP("Commands", "Exit Application"),
        .description = QT_TRANSLATE_NOOP("Commands", "Exit the application"),
        .handler = &CPondelDlg::OnExitApplication,
        .menu = MenuId::kFileMenu,
        .menuSeparatorBefore = true,
        .tray = Slot(6, true),
    },

    CommandEntry{
        .id = kAppend,
        .text = QT_TRANSLATE_NOOP("Commands", "Append(&A)..."),
        .icon = "append",
        .description = QT_TRANSLATE_NOOP("Commands", "Add a new host at the end of the list"),
        .handler = &CPondelDlg::OnAppend,
        .menu = MenuId::kEditMenu,
        .toolbar = Slot(0),
        .menuRule = M::kBelowMaxHosts,
        .toolbarRule = T::kBelowMaxHosts,
    },
    CommandEntry{
        .id = kInsert,
        .text = QT_TRANSLATE_NOOP("Commands", "Insert(&I)..."),
        .icon = "insert",
        .description = QT_TRANSLATE_NOOP(
            "Commands", "Insert the new host to the selected position in the list"),
        .handler = &CPondelDlg::OnInsert,
        .menu = MenuId::kEditMenu,
        .toolbar = Slot(1),
        .menuRule = M::kOneSelected,
        .toolbarRule = T::kAnySelected,
    },
    CommandEntry{
        .id = kEdit,
        .text = QT_TRANSLATE_NOOP("Commands", "Edit(&E)..."),
        .icon = "edit",
        .description = QT_TRANSLATE_NOOP("Commands", "Edit the information for the selected host"),
        .handler = &CPondelDlg::OnEdit,
        .menu = MenuId::kEditMenu,
        .toolbar = Slot(2),
        .menuRule = M::kOneSelected,
        .toolbarRule = T::kAnySelected,
    },
    CommandEntry{
        .id = kRemove,
        .text = QT_TRANSLATE_NOOP("Commands", "Remove(&R)"),
        .shortcut = "Del",
        .icon = "remove",
        .description =
            QT_TRANSLATE_NOOP("Commands", "Remove the information from the selected host"),
        .handler = &CPondelDlg::OnRemove,
        .menu = MenuId::kEditMenu,
        .toolbar = Slot(3),
        .menuRule = M::kAnySelected,
        .toolbarRule = T::kAnySelected,
    },
    CommandEntry{
        .id = kCut,
        .text = QT_TRANSLATE_NOOP("Commands", "Cut(&T)"),
        .shortcut = "Ctrl+X",
        .icon = "cut",
        .description = QT_TRANSLATE_NOOP(
            "Commands", "Cut the line in the selection, and then copy it to the clipboard"),
        .handler = &CPondelDlg::OnCut,
        .menu = MenuId::kEditMenu,
        .menuSeparatorBefore = true,
        .toolbar = Slot(4, true),
        .menuRule = M::kAnySelected,
        .toolbarRule = T::kAnySelected,
    },
    CommandEntry{
        .id = kCopy,
        .text = QT_TRANSLATE_NOOP("Commands", "Copy(&C)"),
        .shortcut = "Ctrl+C",
        .icon = "copy",
        .description =
            QT_TRANSLATE_NOOP("Commands", "A row in the selection, then copy it to the clipboard"),
        .handler = &CPondelDlg::OnCopy,
        .menu = MenuId::kEditMenu,
        .toolbar = Slot(5),
        .menuRule = M::kAnySelected,
        .toolbarRule = T::kAnySelected,
    },
    CommandEntry{
        .id = kPaste,
        .text = QT_TRANSLATE_NOOP("Commands", "Paste(&P)"),
        .shortcut = "Ctrl+V",
        .icon = "paste",
        .description =
            QT_TRANSLATE_NOOP("Commands", "Paste the line that you copied to the clipboard"),
        .handler = &CPondelDlg::OnPaste,
        .menu = MenuId::kEditMenu,
        .toolbar = Slot(6),
        .menuRule = M::kPaste,
    },
    CommandEntry{
        .id = kSelectAll,
        .text = QT_TRANSLATE_NOOP("Commands", "Select All(&S)"),
        .shortcut = "Ctrl+A",
        .description = QT_TRANSLATE_NOOP("Commands", "Select all the rows of Host List."),
        .handler = &CPondelDlg::OnSelectAll,
        .menu = MenuId::kEditMenu,
        .menuRule = M::kSelectAll,
    },
    CommandEntry{
        .id = kCancelSelect,
        .text = QT_TRANSLATE_NOOP("Commands", "Cancel Select(&L)"),
        .shortcut = "Esc",
        .description = QT_TRANSLATE_NOOP("Commands", "Cancel the selected state."),
        .handler = &CPondelDlg::OnCancelSelect,
        // Esc clears the selection at any time; the menu item is
        // refused while a sweep runs.
        .keyHandler = &CPondelDlg::OnCancel,
        .menu = MenuId::kEditMenu,
        .menuRule = M::kAnySelected,
    },
    CommandEntry{
        .id = kMoveUp,
        .text = QT_TRANSLATE_NOOP("Commands", "Move Up(&U)"),
        .shortcut = "Ctrl+U",
        .icon = "move-up",
        .description =
            QT_TRANSLATE_NOOP("Commands", "Move one line up the selected host information"),
        .handler = &CPondelDlg::OnMoveUp,
        .menu = MenuId::kEditMenu,
        .menuSeparatorBefore = true,
        .toolbar = Slot(7, true),
        .menuRule = M::kOneSelected,
        .toolbarRule = T::kOneSelected,
    },
    CommandEntry{
        .id = kMoveDown,
        .text = QT_TRANSLATE_NOOP("Commands", "Move Down(&D)"),
        .shortcut = "Ctrl+D",
        .icon = "move-down",
        .description =
            QT_TRANSLATE_NOOP("Commands", "Move one line down the selected host information"),
        .handler = &CPondelDlg::OnMoveDown,
        .menu = MenuId::kEditMenu,
        .toolbar = Slot(8),
        .menuRule = M::kOneSelected,
        .toolbarRule = T::kOneSelected,
    },

    CommandEntry{
        .id = kRefresh,
        .text = QT_TRANSLATE_NOOP("Commands", "Refresh(&R)"),
        .shortcut = "Ctrl+R",
        .icon = "refresh",
        .description = QT_TRANSLATE_NOOP("Commands", "Updates the active status of the host"),
        .handler = &CPondelDlg::OnRefresh,
        .menu = MenuId::kViewMenu,
        .toolbar = Slot(9, true),
        .menuRule = M::kHasRows,
    },
    CommandEntry{
        .id = kActiveCheck,
        .text = QT_TRANSLATE_NOOP("Commands", "Active Check(&C)"),
        .shortcut = "Ctrl+P",
        .icon = "active-check",
        .description =
            QT_TRANSLATE_NOOP("Commands", "Re-display the active status of the selected host"),
        .handler = &CPondelDlg::OnActiveCheck,
        .menu = MenuId::kViewMenu,
        .toolbar = Slot(10),
        .menuRule = M::kAnySelected,
        .toolbarRule = T::kAnySelected,
    },
    CommandEntry{
        .id = kAutoRefreshStart,
        .text = QT_TRANSLATE_NOOP("Commands", "Auto Refresh Start(&A)"),
        .icon = "auto-refresh-start",
        .description = QT_TRANSLATE_NOOP("Commands", "Start auto update of the active status"),
        .handler = &CPondelDlg::StartAutoRefresh,
        .menu = MenuId::kViewMenu,
        .toolbar = Slot(11, true),
        .menuRule = M::kAutoRefreshStopped,
        .toolbarRule = T::kAutoRefreshStopped,
    },
    CommandEntry{
        .id = kAutoRefreshStop,
        .text = QT_TRANSLATE_NOOP("Commands", "Auto Refresh Stop(&T)"),
        .icon = "auto-refresh-stop",
        .description = QT_TRANSLATE_NOOP("Commands", "Stop auto update of the active status"),
        .handler = &CPondelDlg::StopAutoRefresh,
        .menu = MenuId::kViewMenu,
        .toolbar = Slot(12),
        .menuRule = M::kAutoRefreshRunning,
        .toolbarRule = T::kAutoRefreshRunning,
    },
    CommandEntry{
        .id = kMoveToCenter,
        .text = QT_TRANSLATE_NOOP("Commands", "Move To Center"),
        .shortcut = "Ctrl+M",
        .handler = &CPondelDlg::MoveToCenter,
        .menu = MenuId::kViewMenu,
        .menuSeparatorBefore = true,
        .tray = Slot(2),
    },
    CommandEntry{
        .id = kResetToDefaultSize,
        .text = QT_TRANSLATE_NOOP("Commands", "Reset To Default Size"),
        .handler = &CPondelDlg::ResetToDefaultSize,
        .menu = MenuId::kViewMenu,
    },

    CommandEntry{
        .id = kWakeUp,
        .text = QT_TRANSLATE_NOOP("Commands", "Wake Up(&W)"),
        .shortcut = "Ctrl+W",
        .icon = "wake-up",
        .description = QT_TRANSLATE_NOOP("Commands", "Send a magic packet to the selected host"),
        .handler = &CPondelDlg::OnWakeUp,
        .menu = MenuId::kToolMenu,
        .toolbar = Slot(13, true),
        .menuRule = M::kAnySelected,
        .toolbarRule = T::kAnySelected,
    },
    CommandEntry{
        .id = kWakeUpNonBroadcast,
        .text = QT_TRANSLATE_NOOP("Commands", "Wake Up (Non Broadcast)(&B)"),
        .shortcut = "Ctrl+B",
        .icon = "wake-up-direct",
        .description = QT_TRANSLATE_NOOP(
            "Commands", "Send a magic packet to the selected host (Non Broadcast)"),
        .handler = &CPondelDlg::OnWakeUpNonBroadcast,
        .menu = MenuId::kToolMenu,
        .toolbar = Slot(14),
        .menuRule = M::kAnySelected,
        .toolbarRule = T::kAnySelected,
    },
    CommandEntry{
        .id = kLastWake,
        .text = QT_TRANSLATE_NOOP("Commands", "Last Wake(&L)..."),
        .description = QT_TRANSLATE_NOOP(
            "Commands", "Show every packet of the last wake-up and what became of it"),
        .handler = &CPondelDlg::OnLastWake,
        .menu = MenuId::kToolMenu,
    },
    CommandEntry{
        .id = kListenForWake,
        .text = QT_TRANSLATE_NOOP("Commands", "Listen for Wake Packets(&T)..."),
        .description = QT_TRANSLATE_NOOP(
            "Commands", "Show the wake packets that reach this computer, to see where one is lost"),
        .handler = &CPondelDlg::OnListenForWake,
        .menu = MenuId::kToolMenu,
    },
    CommandEntry{
        .id = kSelectGroup,
        .text = QT_TRANSLATE_NOOP("Commands", "Select Group(&G)"),
        .trayText = QT_TRANSLATE_NOOP("Commands", "Select Group"),
        .description = QT_TRANSLATE_NOOP("Commands", "Select every host of a group"),
        .submenuItems = &CPondelDlg::GroupNames,
        .itemHandler = &CPondelDlg::OnSelectGroup,
        .menu = MenuId::kToolMenu,
        .menuSeparatorBefore = true,
        .tray = Slot(3, true),
        .menuRule = M::kHasGroups,
    },
    CommandEntry{
        .id = kWakeGroup,
        .text = QT_TRANSLATE_NOOP("Commands", "Wake Group(&K)"),
        .trayText = QT_TRANSLATE_NOOP("Commands", "Wake Group"),
        .description =
            QT_TRANSLATE_NOOP("Commands", "Send a magic packet to every host of a group"),
        .submenuItems = &CPondelDlg::GroupNames,
        .itemHandler = &CPondelDlg::OnWakeGroup,
        .menu = MenuId::kToolMenu,
        .tray = Slot(4),
        .menuRule = M::kWakeGroup,
    },
    CommandEntry{
        .id = kWakeAll,
        .text = QT_TRANSLATE_NOOP("Commands", "Wake All(&A)"),
        .trayText = QT_TRANSLATE_NOOP("Commands", "Wake All"),
        .description =
            QT_TRANSLATE_NOOP("Commands", "Send a magic packet to every host in the list"),
        .handler = &CPondelDlg::OnWakeAll,
        .menu = MenuId::kToolMenu,
        .tray = Slot(5),
        .menuRule = M::kWakeAll,
    },
    CommandEntry{
        .id = kGetIpAddress,
        .text = QT_TRANSLATE_NOOP("Commands", "Get Ip Address(&I)..."),
        .description = QT_TRANSLATE_NOOP("Commands", "Show Get IP Address dialog"),
        .handler = &CPondelDlg::OnGetIpAddress,
        .menu = MenuId::kToolMenu,
        .menuSeparatorBefore = true,
    },
    CommandEntry{
        .id = kGetMacAddress,
        .text = QT_TRANSLATE_NOOP("Commands", "Get Mac Address(&M)..."),
        .description = QT_TRANSLATE_NOOP("Commands", "Show Get MAC Address dialog"),
        .handler = &CPondelDlg::OnGetMacAddress,
        .menu = MenuId::kToolMenu,
    },
    CommandEntry{
        .id = kGetHostName,
        .text = QT_TRANSLATE_NOOP("Commands", "Get Host Name(&N)..."),
        .description = QT_TRANSLATE_NOOP("Commands", "Show Get Host Name dialog"),
        .handler = &CPondelDlg::OnGetHostName,
        .menu = MenuId::kToolMenu,
    },
    CommandEntry{
        .id = kSendIcmp,
        .text = QT_TRANSLATE_NOOP("Commands", "Send ICMP(&P)..."),
        .description = QT_TRANSLATE_NOOP("Commands", "Show ICMP Send dialog"),
        .handler = &CPondelDlg::OnSendIcmp,
        .menu = MenuId::kToolMenu,
    },
    CommandEntry{
        .id = kCollectHosts,
        .text = QT_TRANSLATE_NOOP("Commands", "Collect host information(&C)..."),
        .description =
            QT_TRANSLATE_NOOP("Commands", "Collect a running information of the hosts in the LAN"),
        .handler = &CPondelDlg::OnCollectHosts,
        .menu = MenuId::kToolMenu,
        .menuSeparatorBefore = true,
        .menuRule = M::kCollectHosts,
    },
    CommandEntry{
        .id = kShutdownHost,
        .text = QT_TRANSLATE_NOOP("Commands", "Shutdown Windows Host(&S)"),
        .description = QT_TRANSLATE_NOOP("Commands", "Remote shutdown for Windows host"),
        .handler = &CPondelDlg::OnShutdownHost,
        .menu = MenuId::kToolMenu,
        .menuSeparatorBefore = true,
        .menuRule = M::kRemoteShutdown,
    },
    CommandEntry{
        .id = kOption,
        .text = QT_TRANSLATE_NOOP("Commands", "Option(&O)..."),
        .description = QT_TRANSLATE_NOOP("Commands", "Show options setting dialog"),
        .handler = &CPondelDlg::OnOption,
        .menu = MenuId::kToolMenu,
        .menuSeparatorBefore = true,
    },

    CommandEntry{
        .id = kVersionInfo,
        .text = QT_TRANSLATE_NOOP("Commands", "Version Information Pondel(&A)..."),
        .handler = &CPondelDlg::OnVersionInfo,
        .menu = MenuId::kHelpMenu,
    },

    // The tray menu shows Ctrl+I beside Minimize, but no key is bound to it.
    CommandEntry{
        .id = kMinimize,
        .trayText = QT_TRANSLATE_NOOP("Commands", "Minimize\tCtrl+I"),
        .handler = &CPondelDlg::OnMinimize,
        .tray = Slot(0),
        .menuRule = M::kNotMinimized,
    },
    CommandEntry{
        .id = kRestoreNormalSize,
        .trayText = QT_TRANSLATE_NOOP("Commands", "Restore Normal Size"),
        .shortcut = "Ctrl+S",
        .handler = &CPondelDlg::OnRestoreNormalSize,
        .tray = Slot(1),
        .menuRule = M::kMinimized,
    },
};

} // namespace

std::span<const CommandEntry> Commands()
{
    return kCommands;
}

} // namespace pondel
