#include "ConsoleMode.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "CommandLine.h"
#include "ConsoleCommands.h"
#include "MagicPacket.h"
#include "SystemError.h"
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

MagicPacketOutcome SendTo(const WakeUpTarget& target)
{
    return SendMagicPacket(
        target.ipAddr, target.netMask, target.macAddr, target.broadcast, kConsoleWakeUpPort);
}

int WakeUp(const CommandLineOptions& options, const HostList& hosts,
    const LocalNetworkQueries& local, const WakeWatchSettings& watch)
{
    const auto target = AssembleWakeUpTarget(options, hosts, local);
    if (!target)
        return Failed(WakeUpTargetFailure(options, hosts));
    std::optional<std::uint32_t> wait;
    if (options.waitSeconds) {
        wait = ParseWaitSeconds(*options.waitSeconds);
        // Without an address of the host there is nothing to watch.
        if (!wait || !target->addressGiven)
            return ShowUsage();
    }
    const MagicPacketOutcome sent = SendTo(*target);
    if (sent.status != kMagicPacketSent)
        return Failed(SendFailure(sent, target->macAddr));
    if (!wait)
        return 1;
    const WakeResend resend = [target = *target](std::stop_token) { (void)SendTo(target); };
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
    if (!HasTarget(options))
        return ShowUsage();
    return WakeUp(options, hosts, local, watch);
}

} // namespace pondel
