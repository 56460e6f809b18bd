#include "ConsoleMode.h"

#include <cstdio>

#include "CommandLine.h"
#include "ConsoleCommands.h"
#include "ConsoleListen.h"
#include "ConsoleWake.h"
#include "WakeWait.h"
#include "StatusQuery.h"

namespace pondel {
namespace {

bool HasTarget(const CommandLineOptions& options)
{
    const auto given = [](const std::optional<std::string>& value) {
        return value && !value->empty();
    };
    return given(options.hostName) || given(options.ipAddr) || given(options.macAddr);
}

int WakeUp(const CommandLineOptions& options, const WakeSwitches& switches, const HostList& hosts,
    const LocalNetworkQueries& local, const WakeWatchSettings& watch)
{
    const auto target = AssembleWakeUpTarget(options, hosts, local);
    if (!target)
        return ConsoleWakeFailed(WakeUpTargetFailure(options, hosts));
    std::optional<std::uint32_t> wait;
    if (options.waitSeconds) {
        wait = ParseWaitSeconds(*options.waitSeconds);
        // Without an address of the host there is nothing to watch.
        if (!wait || !target->addressGiven)
            return ShowUsage();
    }
    const int sent = ConsoleWake(*target, switches);
    if (sent != 1 || !wait || switches.dryRun)
        return sent;
    // A resend lists its packets again when the first wake-up did.
    const WakeResend resend = [target = *target, switches](
                                  std::stop_token) { (void)ConsoleWake(target, switches); };
    return ConsoleWaitForWakeUp(target->ipAddr, *wait, watch, resend);
}

// The console loaded only the rows /H or /I name, or all of them without
// either.
int QueryStatus(
    const CommandLineOptions& options, const HostList& hosts, const AppSettings& settings)
{
    if (hosts.Count() == 0 && (options.hostName || options.ipAddr))
        return ConsoleWakeFailed("No such host in the host list");
    const Result<std::vector<HostStatusLine>> lines =
        QueryHostStatus(hosts, settings, OpenProbeRun);
    if (!lines)
        return ConsoleWakeFailed(lines.Error().message);
    const std::string text = FormatStatusLines(lines.Value());
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 1;
}

bool OpensWindow(const CommandLineOptions& options)
{
    return !options.unknownSwitch && !options.version && !options.console;
}

} // namespace

bool OpensWindow(const std::vector<std::string>& arguments)
{
    return OpensWindow(ParseCommandLine(arguments));
}

int ProcessCommandLine(const std::vector<std::string>& arguments, const HostList& hosts,
    const LocalNetworkQueries& local, const AppSettings& settings)
{
    const CommandLineOptions options = ParseCommandLine(arguments);
    if (options.unknownSwitch)
        return ShowUsage();
    if (options.version)
        return ShowVersion();
    if (!options.console)
        return 0;
    if (options.query)
        return QueryStatus(options, hosts, settings);
    if (options.listen) {
        const std::optional<std::uint32_t> seconds = ParseListenSeconds(options.listenSeconds);
        return seconds ? ConsoleListen(*seconds, hosts, settings) : ShowUsage();
    }
    const std::optional<WakeSwitches> switches = ReadWakeSwitches(options);
    if (!HasTarget(options) || !switches)
        return ShowUsage();
    return WakeUp(options, *switches, hosts, local, WakeWatchSettingsOf(settings));
}

} // namespace pondel
