#include "ConsoleMode.h"

#include "CommandLine.h"
#include "ConsoleCommands.h"
#include "ConsoleWake.h"
#include "WakeWait.h"

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
    const LocalNetworkQueries& local, const WakeWatchSettings& watch)
{
    const CommandLineOptions options = ParseCommandLine(arguments);
    if (options.unknownSwitch)
        return ShowUsage();
    if (options.version)
        return ShowVersion();
    if (!options.console)
        return 0;
    const std::optional<WakeSwitches> switches = ReadWakeSwitches(options);
    if (!HasTarget(options) || !switches)
        return ShowUsage();
    return WakeUp(options, *switches, hosts, local, watch);
}

} // namespace pondel
