#include "CommandRules.h"

namespace pondel {
namespace {

bool BelowMaxHosts(const CommandState& state)
{
    return state.rowCount >= 0 && static_cast<std::uint32_t>(state.rowCount) < state.maxHostNum;
}

} // namespace

bool MenuRuleAllows(MenuRule rule, const CommandState& state)
{
    switch (rule) {
    case MenuRule::kAlways:
        return true;
    case MenuRule::kHasRows:
        return state.rowCount > 0;
    case MenuRule::kBelowMaxHosts:
        return BelowMaxHosts(state);
    case MenuRule::kOneSelected:
        return state.selectedCount == 1;
    case MenuRule::kAnySelected:
        return state.selectedCount > 0;
    case MenuRule::kRemoteShutdown:
        return state.remoteShutdown && state.selectedCount > 0;
    case MenuRule::kAutoRefreshStopped:
        return !state.autoRefreshRunning;
    case MenuRule::kAutoRefreshRunning:
        return state.autoRefreshRunning;
    case MenuRule::kNotMinimized:
        return !state.minimized;
    case MenuRule::kMinimized:
        return state.minimized;
    case MenuRule::kSelectAll:
        return state.rowCount > 0 && state.selectedCount < state.rowCount;
    case MenuRule::kPaste:
        // Below the limit Paste is always offered and the command itself
        // reports an empty clipboard; at the limit only clipboard text
        // keeps it offered.
        return BelowMaxHosts(state) || state.clipboardHasText;
    case MenuRule::kCollectHosts:
        return BelowMaxHosts(state) && !state.collectRunning;
    case MenuRule::kHasGroups:
        return state.groupCount > 0;
    case MenuRule::kWakeGroup:
        return state.wakeableGroupCount > 0 && !state.collectRunning;
    case MenuRule::kWakeAll:
        return state.wakeableHostCount > 0 && !state.collectRunning;
    }
    return false;
}

bool ToolbarRuleAllows(ToolbarRule rule, const CommandState& state)
{
    switch (rule) {
    case ToolbarRule::kAlways:
        return true;
    case ToolbarRule::kBelowMaxHosts:
        return BelowMaxHosts(state);
    case ToolbarRule::kAnySelected:
        return state.selectedCount > 0;
    case ToolbarRule::kOneSelected:
        return state.selectedCount == 1;
    case ToolbarRule::kAutoRefreshStopped:
        return !state.autoRefreshRunning;
    case ToolbarRule::kAutoRefreshRunning:
        return state.autoRefreshRunning;
    }
    return false;
}

} // namespace pondel
