#include "CommandTable.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include <QtGlobal>

#include "PondelDlg.h"

namespace pondel {
namespace {

using enum CommandId;
using M = MenuRule;
using T = ToolbarRule;

constexpr Placement kNowhere{};

constexpr Placement Slot(int slot, bool separatorBefore = false)
{
    return Placement{slot, separatorBefore};
}

// Menus in the order of their items; the toolbar and tray menu by slot.
const std::array kCommands{
    CommandEntry{kExportHostList, QT_TRANSLATE_NOOP("Commands", "Export Host List(&E)..."), nullptr,
        nullptr, nullptr, nullptr, &CPondelDlg::OnExportHostList, MenuId::kFileMenu, false,
        kNowhere, kNowhere, M::kHasRows, T::kAlways},
    CommandEntry{kImportHostList, QT_TRANSLATE_NOOP("Commands", "Import Host List(&I)..."), nullptr,
        nullptr, nullptr, nullptr, &CPondelDlg::OnImportHostList, MenuId::kFileMenu, false,
        kNowhere, kNowhere, M::kBelowMaxHosts, T::kAlways},
    CommandEntry{kExitApplication, QT_TRANSLATE_NOOP("Commands", "Exit Application(&X)"),
        QT_TRANSLATE_NOOP("Commands", "Exit Application"), nullptr, nullptr,
        QT_TRANSLATE_NOOP("Commands", "Exit the application"), &CPondelDlg::OnExitApplication,
        MenuId::kFileMenu, true, kNowhere, Slot(3, true), M::kAlways, T::kAlways},

    CommandEntry{kAppend, QT_TRANSLATE_NOOP("Commands", "Append(&A)..."), nullptr, nullptr,
        "append", QT_TRANSLATE_NOOP("Commands", "Add a new host at the end of the list"),
        &CPondelDlg::OnAppend, MenuId::kEditMenu, false, Slot(0), kNowhere, M::kBelowMaxHosts,
        T::kAlways},
    CommandEntry{kInsert, QT_TRANSLATE_NOOP("Commands", "Insert(&I)..."), nullptr, nullptr,
        "insert",
        QT_TRANSLATE_NOOP("Commands", "Insert the new host to the selected position in the list"),
        &CPondelDlg::OnInsert, MenuId::kEditMenu, false, Slot(1), kNowhere, M::kOneSelected,
        T::kAnySelected},
    CommandEntry{kEdit, QT_TRANSLATE_NOOP("Commands", "Edit(&E)..."), nullptr, nullptr, "edit",
        QT_TRANSLATE_NOOP("Commands", "Edit the information for the selected host"),
        &CPondelDlg::OnEdit, MenuId::kEditMenu, false, Slot(2), kNowhere, M::kOneSelected,
        T::kAnySelected},
    CommandEntry{kRemove, QT_TRANSLATE_NOOP("Commands", "Remove(&R)"), nullptr, "Del", "remove",
        QT_TRANSLATE_NOOP("Commands", "Remove the information from the selected host"),
        &CPondelDlg::OnRemove, MenuId::kEditMenu, false, Slot(3), kNowhere, M::kAnySelected,
        T::kAnySelected},
    CommandEntry{kCut, QT_TRANSLATE_NOOP("Commands", "Cut(&T)"), nullptr, "Ctrl+X", "cut",
        QT_TRANSLATE_NOOP(
            "Commands", "Cut the line in the selection, and then copy it to the clipboard"),
        &CPondelDlg::OnCut, MenuId::kEditMenu, true, Slot(4, true), kNowhere, M::kAnySelected,
        T::kAnySelected},
    CommandEntry{kCopy, QT_TRANSLATE_NOOP("Commands", "Copy(&C)"), nullptr, "Ctrl+C", "copy",
        QT_TRANSLATE_NOOP("Commands", "A row in the selection, then copy it to the clipboard"),
        &CPondelDlg::OnCopy, MenuId::kEditMenu, false, Slot(5), kNowhere, M::kAnySelected,
        T::kAnySelected},
    CommandEntry{kPaste, QT_TRANSLATE_NOOP("Commands", "Paste(&P)"), nullptr, "Ctrl+V", "paste",
        QT_TRANSLATE_NOOP("Commands", "Paste the line that you copied to the clipboard"),
        &CPondelDlg::OnPaste, MenuId::kEditMenu, false, Slot(6), kNowhere, M::kPaste, T::kAlways},
    CommandEntry{kSelectAll, QT_TRANSLATE_NOOP("Commands", "Select All(&S)"), nullptr, "Ctrl+A",
        nullptr, QT_TRANSLATE_NOOP("Commands", "Select all the rows of Host List."),
        &CPondelDlg::OnSelectAll, MenuId::kEditMenu, false, kNowhere, kNowhere, M::kSelectAll,
        T::kAlways},
    // Esc reaches the window itself, which clears the selection (see
    // CPondelDlg::OnCancel); the item only shows the key.
    CommandEntry{kCancelSelect, QT_TRANSLATE_NOOP("Commands", "Cancel Select(&L)"), nullptr, "Esc",
        nullptr, QT_TRANSLATE_NOOP("Commands", "Cancel the selected state."),
        &CPondelDlg::OnCancelSelect, MenuId::kEditMenu, false, kNowhere, kNowhere, M::kAnySelected,
        T::kAlways},
    CommandEntry{kMoveUp, QT_TRANSLATE_NOOP("Commands", "Move Up(&U)"), nullptr, "Ctrl+U",
        "move-up", QT_TRANSLATE_NOOP("Commands", "Move one line up the selected host information"),
        &CPondelDlg::OnMoveUp, MenuId::kEditMenu, true, Slot(7, true), kNowhere, M::kOneSelected,
        T::kOneSelected},
    CommandEntry{kMoveDown, QT_TRANSLATE_NOOP("Commands", "Move Down(&D)"), nullptr, "Ctrl+D",
        "move-down",
        QT_TRANSLATE_NOOP("Commands", "Move one line down the selected host information"),
        &CPondelDlg::OnMoveDown, MenuId::kEditMenu, false, Slot(8), kNowhere, M::kOneSelected,
        T::kOneSelected},

    CommandEntry{kRefresh, QT_TRANSLATE_NOOP("Commands", "Refresh(&R)"), nullptr, "Ctrl+R",
        "refresh", QT_TRANSLATE_NOOP("Commands", "Updates the active status of the host"),
        &CPondelDlg::OnRefresh, MenuId::kViewMenu, false, Slot(9, true), kNowhere, M::kHasRows,
        T::kAlways},
    CommandEntry{kActiveCheck, QT_TRANSLATE_NOOP("Commands", "Active Check(&C)"), nullptr, "Ctrl+P",
        "active-check",
        QT_TRANSLATE_NOOP("Commands", "Re-display the active status of the selected host"),
        &CPondelDlg::OnActiveCheck, MenuId::kViewMenu, false, Slot(10), kNowhere, M::kAnySelected,
        T::kAnySelected},
    CommandEntry{kAutoRefreshStart, QT_TRANSLATE_NOOP("Commands", "Auto Refresh Start(&A)"),
        nullptr, nullptr, "auto-refresh-start",
        QT_TRANSLATE_NOOP("Commands", "Start auto update of the active status"),
        &CPondelDlg::StartAutoRefresh, MenuId::kViewMenu, false, Slot(11, true), kNowhere,
        M::kAutoRefreshStopped, T::kAutoRefreshStopped},
    CommandEntry{kAutoRefreshStop, QT_TRANSLATE_NOOP("Commands", "Auto Refresh Stop(&T)"), nullptr,
        nullptr, "auto-refresh-stop",
        QT_TRANSLATE_NOOP("Commands", "Stop auto update of the active status"),
        &CPondelDlg::StopAutoRefresh, MenuId::kViewMenu, false, Slot(12), kNowhere,
        M::kAutoRefreshRunning, T::kAutoRefreshRunning},
    CommandEntry{kMoveToCenter, QT_TRANSLATE_NOOP("Commands", "Move To Center"), nullptr, "Ctrl+M",
        nullptr, nullptr, &CPondelDlg::MoveToCenter, MenuId::kViewMenu, true, kNowhere, Slot(2),
        M::kAlways, T::kAlways},
    CommandEntry{kResetToDefaultSize, QT_TRANSLATE_NOOP("Commands", "Reset To Default Size"),
        nullptr, nullptr, nullptr, nullptr, &CPondelDlg::ResetToDefaultSize, MenuId::kViewMenu,
        false, kNowhere, kNowhere, M::kAlways, T::kAlways},

    CommandEntry{kWakeUp, QT_TRANSLATE_NOOP("Commands", "Wake Up(&W)"), nullptr, "Ctrl+W",
        "wake-up", QT_TRANSLATE_NOOP("Commands", "Send a magic packet to the selected host"),
        &CPondelDlg::OnWakeUp, MenuId::kToolMenu, false, Slot(13, true), kNowhere, M::kAnySelected,
        T::kAnySelected},
    CommandEntry{kWakeUpNonBroadcast, QT_TRANSLATE_NOOP("Commands", "Wake Up (Non Broadcast)(&B)"),
        nullptr, "Ctrl+B", "wake-up-direct",
        QT_TRANSLATE_NOOP("Commands", "Send a magic packet to the selected host (Non Broadcast)"),
        &CPondelDlg::OnWakeUpNonBroadcast, MenuId::kToolMenu, false, Slot(14), kNowhere,
        M::kAnySelected, T::kAnySelected},
    CommandEntry{kGetIpAddress, QT_TRANSLATE_NOOP("Commands", "Get Ip Address(&I)..."), nullptr,
        nullptr, nullptr, QT_TRANSLATE_NOOP("Commands", "Show Get IP Address dialog"),
        &CPondelDlg::OnGetIpAddress, MenuId::kToolMenu, true, kNowhere, kNowhere, M::kAlways,
        T::kAlways},
    CommandEntry{kGetMacAddress, QT_TRANSLATE_NOOP("Commands", "Get Mac Address(&M)..."), nullptr,
        nullptr, nullptr, QT_TRANSLATE_NOOP("Commands", "Show Get MAC Address dialog"),
        &CPondelDlg::OnGetMacAddress, MenuId::kToolMenu, false, kNowhere, kNowhere, M::kAlways,
        T::kAlways},
    CommandEntry{kGetHostName, QT_TRANSLATE_NOOP("Commands", "Get Host Name(&N)..."), nullptr,
        nullptr, nullptr, QT_TRANSLATE_NOOP("Commands", "Show Get Host Name dialog"),
        &CPondelDlg::OnGetHostName, MenuId::kToolMenu, false, kNowhere, kNowhere, M::kAlways,
        T::kAlways},
    CommandEntry{kSendIcmp, QT_TRANSLATE_NOOP("Commands", "Send ICMP(&P)..."), nullptr, nullptr,
        nullptr, QT_TRANSLATE_NOOP("Commands", "Show ICMP Send dialog"), &CPondelDlg::OnSendIcmp,
        MenuId::kToolMenu, false, kNowhere, kNowhere, M::kAlways, T::kAlways},
    CommandEntry{kCollectHosts, QT_TRANSLATE_NOOP("Commands", "Collect host information(&C)..."),
        nullptr, nullptr, nullptr,
        QT_TRANSLATE_NOOP("Commands", "Collect a running information of the hosts in the LAN"),
        &CPondelDlg::OnCollectHosts, MenuId::kToolMenu, true, kNowhere, kNowhere, M::kCollectHosts,
        T::kAlways},
    CommandEntry{kShutdownHost, QT_TRANSLATE_NOOP("Commands", "Shutdown Windows Host(&S)"), nullptr,
        nullptr, nullptr, QT_TRANSLATE_NOOP("Commands", "Remote shutdown for Windows host"),
        &CPondelDlg::OnShutdownHost, MenuId::kToolMenu, true, kNowhere, kNowhere,
        M::kRemoteShutdown, T::kAlways},
    CommandEntry{kOption, QT_TRANSLATE_NOOP("Commands", "Option(&O)..."), nullptr, nullptr, nullptr,
        QT_TRANSLATE_NOOP("Commands", "Show options setting dialog"), &CPondelDlg::OnOption,
        MenuId::kToolMenu, true, kNowhere, kNowhere, M::kAlways, T::kAlways},

    CommandEntry{kVersionInfo, QT_TRANSLATE_NOOP("Commands", "Version Information Pondel(&A)..."),
        nullptr, nullptr, nullptr, nullptr, &CPondelDlg::OnVersionInfo, MenuId::kHelpMenu, false,
        kNowhere, kNowhere, M::kAlways, T::kAlways},

    // The tray menu shows Ctrl+I beside Minimize, but no key is bound to it.
    CommandEntry{kMinimize, nullptr, QT_TRANSLATE_NOOP("Commands", "Minimize\tCtrl+I"), nullptr,
        nullptr, nullptr, &CPondelDlg::OnMinimize, MenuId::kNoMenu, false, kNowhere, Slot(0),
        M::kNotMinimized, T::kAlways},
    CommandEntry{kRestoreNormalSize, nullptr, QT_TRANSLATE_NOOP("Commands", "Restore Normal Size"),
        "Ctrl+S", nullptr, nullptr, &CPondelDlg::OnRestoreNormalSize, MenuId::kNoMenu, false,
        kNowhere, Slot(1), M::kMinimized, T::kAlways},
};

} // namespace

std::span<const CommandEntry> Commands()
{
    return kCommands;
}

const CommandEntry& Command(CommandId id)
{
    const auto found = std::ranges::find(kCommands, id, &CommandEntry::id);
    if (found == kCommands.end())
        throw std::out_of_range("unknown command id");
    return *found;
}

bool IdleWhileCollecting(CommandId id)
{
    static constexpr std::array kListChanging{kImportHostList, kAppend, kInsert, kEdit, kRemove,
        kCut, kPaste, kMoveUp, kMoveDown, kOption};
    return std::ranges::find(kListChanging, id) != kListChanging.end();
}

QKeySequence Accelerator(const CommandEntry& entry)
{
    if (entry.shortcut == nullptr)
        return {};
    return QKeySequence(QString::fromLatin1(entry.shortcut), QKeySequence::PortableText);
}

} // namespace pondel
