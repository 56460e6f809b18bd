#include "ConsoleMode.h"

#include <cstdio>
#include <string_view>

#include "CommandLine.h"
#include "ConsoleCommands.h"
#include "MagicPacket.h"
#include "StatusQuery.h"
#include "SystemError.h"

namespace pondel {
namespace {

bool HasTarget(const CommandLineOptions& options)
{
    const auto given = [](const std::optional<std::string>& value) {
        return value && !value->empty();
    };
    return given(options.hostName) || given(options.ipAddr) || given(options.macAddr);
}

// A failed wake-up says why on standard error, one line, and leaves standard
// output to the usage and version texts; a script still reads the exit code.
int Failed(std::string_view reason)
{
    std::fprintf(stderr, "%.*s\n", static_cast<int>(reason.size()), reason.data());
    return -1;
}

std::string SendFailure(const MagicPacketOutcome& sent, std::string_view mac)
{
    switch (sent.status) {
    case kMagicPacketNoIp:
        return "IP address is not set";
    case kMagicPacketBadMac:
        return "It is illegal MAC address: \"" + OneLineText(mac) + "\"";
    default:
        return "sendto(): " + GetSystemErrorText(sent.systemError);
    }
}

int WakeUp(
    const CommandLineOptions& options, const HostList& hosts, const LocalNetworkQueries& local)
{
    const auto target = AssembleWakeUpTarget(options, hosts, local);
    if (!target)
        return Failed(WakeUpTargetFailure(options, hosts));
    const MagicPacketOutcome sent = SendMagicPacket(
        target->ipAddr, target->netMask, target->macAddr, target->broadcast, kConsoleWakeUpPort);
    if (sent.status != kMagicPacketSent)
        return Failed(SendFailure(sent, target->macAddr));
    return 1;
}

// The console loaded only the rows /H or /I name, or all of them without
// either.
int QueryStatus(
    const CommandLineOptions& options, const HostList& hosts, const AppSettings& settings)
{
    if (hosts.Count() == 0 && (options.hostName || options.ipAddr))
        return Failed("No such host in the host list");
    const Result<std::vector<HostStatusLine>> lines =
        QueryHostStatus(hosts, settings, OpenProbeRun);
    if (!lines)
        return Failed(lines.Error().message);
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
    const LocalNetworkQueries& local)
{
    return ProcessCommandLine(arguments, hosts, local, AppSettings{});
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
    if (!HasTarget(options))
        return ShowUsage();
    return WakeUp(options, hosts, local);
}

} // namespace pondel
