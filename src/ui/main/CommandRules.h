#pragma once

#include <cstdint>

namespace pondel {

// What the enabling rules look at, taken at the moment they run.
struct CommandState {
    int rowCount = 0;
    int selectedCount = 0;
    std::uint32_t maxHostNum = 0;
    bool remoteShutdown = false;
    bool autoRefreshRunning = false;
    bool minimized = false;
    bool clipboardHasText = false;
    bool collectRunning = false;
    // Counted only as a menu opens, where the group commands are; 0 for the
    // toolbar.
    int groupCount = 0;
    int wakeableGroupCount = 0; // groups with a host that has a MAC address
    int wakeableHostCount = 0;  // hosts with a MAC address
};

// When a menu item (main menu and tray menu) is enabled.
enum class MenuRule {
    kAlways,
    kHasRows,
    kBelowMaxHosts,
    kOneSelected,
    kAnySelected,
    kRemoteShutdown,
    kAutoRefreshStopped,
    kAutoRefreshRunning,
    kNotMinimized,
    kMinimized,
    kSelectAll,
    kPaste,
    kCollectHosts, // below the limit, and no collection running
    kHasGroups,
    // Something to wake, and no collection running: a group, or a host, with
    // a MAC address.
    kWakeGroup,
    kWakeAll,
};

// When a toolbar button is enabled. These differ from the menu's: Insert and
// Edit, for example, want one selected row in the menu but any on the toolbar.
enum class ToolbarRule {
    kAlways,
    kBelowMaxHosts,
    kAnySelected,
    kOneSelected,
    kAutoRefreshStopped,
    kAutoRefreshRunning,
};

[[nodiscard]] bool MenuRuleAllows(MenuRule rule, const CommandState& state);
[[nodiscard]] bool ToolbarRuleAllows(ToolbarRule rule, const CommandState& state);

} // namespace pondel
