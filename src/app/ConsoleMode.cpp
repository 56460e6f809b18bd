#include "ConsoleMode.h"

#include "CommandLine.h"
#include "ConsoleCommands.h"
#include "MagicPacket.h"

namespace pondel {
namespace {

bool HasTarget(const CommandLineOptions& options)
{
    const auto given = [](const std::optional<std::string>& value) {
        return value && !value->empty();
    };
    return given(options.hostName) || given(options.ipAddr) || given(options.macAddr);
}

int WakeUp(
    const CommandLineOptions& options, const HostList& hosts, const LocalNetworkQueries& local)
{
    const auto target = AssembleWakeUpTarget(options, hosts, local);
    if (!target)
        return -1;
    const MagicPacketOutcome sent = SendMagicPacket(
        target->ipAddr, target->netMask, target->macAddr, target->broadcast, kConsoleWakeUpPort);
    return sent.status == kMagicPacketSent ? 1 : -1;
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
    if (!HasTarget(options))
        return ShowUsage();
    return WakeUp(options, hosts, local);
}

} // namespace pondel
