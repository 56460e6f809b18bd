#include "ConsoleGroupWake.h"

#include <vector>

#include "ConsoleOutput.h"
#include "ConsoleWake.h"
#include "HostGroups.h"
#include "WakeUpTarget.h"
#include "WakeWait.h"

namespace pondel {
namespace {

// A host of the group that was sent to, and what its line shows.
struct SentHost {
    WakeUpTarget target;
    std::string shownName;
};

// The name as a line shows it: one line, "-" for none.
std::string ShownName(const tHostInfo& host)
{
    return host.hostName[0] == '\0' ? "-" : OneLineText(host.hostName);
}

std::string HostLine(const SentHost& host, std::string_view outcome)
{
    return host.shownName + '\t' + host.target.ipAddr + '\t' + std::string(outcome);
}

// Wakes one row as /H would; the host sent to, or none after its line on
// standard error.
std::optional<SentHost> WakeRow(const tHostInfo& row, bool broadcast, const WakeSwitches& switches,
    const LocalNetworkQueries& local)
{
    const std::string shown = OneLineText(row.hostName[0] != '\0' ? row.hostName : row.ipAddr);
    std::optional<WakeUpTarget> target = RowWakeUpTarget(row, broadcast, local);
    if (!target) {
        (void)ConsoleWakeFailed("Host \"" + shown + "\" has no MAC address.");
        return std::nullopt;
    }
    const ConsoleWakeOutcome outcome = SendConsoleWake(*target, switches);
    if (!outcome.sent) {
        (void)ConsoleWakeFailed("Host \"" + shown + "\": " + outcome.failure);
        return std::nullopt;
    }
    SentHost sent{std::move(*target), ShownName(row)};
    (void)WriteToConsole(HostLine(sent, switches.dryRun ? "planned" : "sent") + '\n');
    return sent;
}

} // namespace

std::optional<HostList> HostsOfGroup(const HostList& hosts, std::string_view group)
{
    HostList members;
    for (const std::int32_t row : RowsOfGroup(hosts, group))
        members.Append(hosts[row]);
    if (members.Count() == 0) {
        (void)ConsoleWakeFailed(group == kAllGroups
                ? std::string("The host list is empty.")
                : "No host of the list is in group \"" + OneLineText(group) + "\".");
        return std::nullopt;
    }
    return members;
}

int ConsoleGroupWake(std::string_view group, const HostList& hosts, bool broadcast,
    const WakeSwitches& switches, std::optional<std::uint32_t> waitSeconds,
    const LocalNetworkQueries& local, const WakeWatchSettings& watch)
{
    const std::optional<HostList> members = HostsOfGroup(hosts, group);
    if (!members)
        return -1;
    bool failed = false;
    std::vector<SentHost> sent;
    for (const tHostInfo& row : *members) {
        if (std::optional<SentHost> host = WakeRow(row, broadcast, switches, local))
            sent.push_back(std::move(*host));
        else
            failed = true;
    }
    if (!waitSeconds || switches.dryRun || sent.empty())
        return failed ? -1 : 1;

    std::vector<WakeWaitHost> waits;
    for (const SentHost& host : sent) {
        // A resend lists its packets again when the first wake-up did.
        WakeResend resend = [target = host.target, switches](
                                std::stop_token) { (void)ConsoleWake(target, switches); };
        waits.push_back({WakeWatchKeyOf(host.target.ipAddr, host.target.macAddr),
            host.target.ipAddr, std::move(resend)});
    }
    const std::vector<WakeWaitResult> results = ConsoleWaitForWakeUps(std::move(waits),
        *waitSeconds, watch, [&sent](std::size_t index, const WakeWaitResult& result) {
            return HostLine(sent[index], WakeWaitText(result));
        });
    if (failed)
        return -1;
    for (const WakeWaitResult& result : results) {
        if (result.end != WakeWatchEnd::kUp)
            return kWakeNoAnswer;
    }
    return 1;
}

} // namespace pondel
