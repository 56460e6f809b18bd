#include "ConsoleMode.h"

#include "CommandLine.h"
#include "ConsoleCommands.h"
#include "ConsoleWake.h"

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
    const LocalNetworkQueries& local)
{
    const auto target = AssembleWakeUpTarget(options, hosts, local);
    if (!target)
        return ConsoleWakeFailed(WakeUpTargetFailure(options, hosts));
    return ConsoleWake(*target, switches);
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
    const LocalNetworkQueries& local)
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
    return WakeUp(options, *switches, hosts, local);
}

} // namespace pondel
