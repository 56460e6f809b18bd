#include "ConsoleMode.h"

#include <chrono>
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

// The seconds of /W, from 1 to an hour.
std::optional<std::uint32_t> WaitSeconds(const std::string& text)
{
    if (text.empty() || text.size() > 4 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const auto seconds = static_cast<std::uint32_t>(std::stoul(text));
    if (seconds < 1 || seconds > kWakeConfirmTimeoutRange.maximum)
        return std::nullopt;
    return seconds;
}

// On a terminal one line counts the seconds and then gives the outcome;
// elsewhere only the outcome is written.
int WaitForAnswer(const WakeUpTarget& target, std::uint32_t seconds, WakeWatchSettings watch)
{
    watch.timeout = std::chrono::seconds(seconds);
    const bool terminal = StandardOutputIsTerminal();
    const auto tick = [terminal](std::uint32_t elapsed) {
        if (terminal)
            (void)WriteToConsole("\rwaking " + std::to_string(elapsed) + " s ");
    };
    const WakeResend resend = [target](std::stop_token) { (void)SendTo(target); };
    const WakeWaitResult result = WaitForWakeUp(target.ipAddr, watch, resend, tick);
    // On the terminal the outcome covers the count it replaces.
    (void)WriteToConsole(
        terminal ? "\r" + WakeWaitText(result) + "      \n" : WakeWaitText(result) + "\n");
    return result.end == WakeWatchEnd::kUp ? 1 : kWakeNoAnswer;
}

int WakeUp(const CommandLineOptions& options, const HostList& hosts,
    const LocalNetworkQueries& local, const WakeWatchSettings& watch)
{
    const auto target = AssembleWakeUpTarget(options, hosts, local);
    if (!target)
        return Failed(WakeUpTargetFailure(options, hosts));
    std::optional<std::uint32_t> wait;
    if (options.waitSeconds) {
        wait = WaitSeconds(*options.waitSeconds);
        // Without an address of the host there is nothing to watch.
        if (!wait || !target->addressGiven)
            return ShowUsage();
    }
    const MagicPacketOutcome sent = SendTo(*target);
    if (sent.status != kMagicPacketSent)
        return Failed(SendFailure(sent, target->macAddr));
    return wait ? WaitForAnswer(*target, *wait, watch) : 1;
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
    return ProcessCommandLine(arguments, hosts, local, WakeWatchSettingsOf(AppSettings{}));
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
