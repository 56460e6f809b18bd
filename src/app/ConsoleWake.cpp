#include "ConsoleWake.h"

#include <cstdio>
#include <string_view>

#include "ConsoleOutput.h"
#include "Ipv4Text.h"
#include "WakeReportText.h"
#include "WakeSender.h"

namespace pondel {
namespace {

WakeRequest BuildRequest(const WakeUpTarget& target, const WakeSwitches& switches)
{
    WakeRequest request;
    request.ip = TextToIp(target.ipAddr);
    request.netMask = TextToIp(target.netMask);
    request.paths = PathBit(target.broadcast ? WakePath::kDirectedBroadcast : WakePath::kUnicast);
    if (switches.allPaths) {
        request.paths |= kExtraWakePaths;
        request.watchNeighbour = true;
    }
    request.interfaceName =
        switches.interfaceName.empty() ? target.interfaceName : switches.interfaceName;
    request.ports = switches.ports.value_or(std::vector<std::uint16_t>{kConsoleWakeUpPort});
    request.repeats = switches.repeats;
    return request;
}

std::string ReportText(const std::vector<WakeSendLine>& lines, bool withResult)
{
    std::string text;
    for (const WakeSendLine& line : lines)
        text += WakeLineText(line, withResult) + '\n';
    return text;
}

} // namespace

int ConsoleWakeFailed(std::string_view reason)
{
    std::fprintf(stderr, "%.*s\n", static_cast<int>(reason.size()), reason.data());
    return -1;
}

ConsoleWakeOutcome SendConsoleWake(const WakeUpTarget& target, const WakeSwitches& switches)
{
    WakeRequest request = BuildRequest(target, switches);
    if (ParseMacAddress(target.macAddr, request.mac) != 0)
        return {false, "It is illegal MAC address: \"" + OneLineText(target.macAddr) + "\""};
    const std::string& secureOn = switches.secureOn.empty() ? target.secureOn : switches.secureOn;
    if (!secureOn.empty()) {
        request.secureOn = ParseSecureOn(secureOn);
        if (!request.secureOn)
            return {false, "It is illegal SecureOn password: \"" + OneLineText(secureOn) + "\""};
    }

    if (switches.dryRun) {
        (void)WriteToConsole(ReportText(PlanWake(request), false));
        return {true, {}};
    }
    const WakeReport report = SendWake(request);
    if (switches.given)
        (void)WriteToConsole(ReportText(report.lines, true) + WakeSummaryText(report) + '\n');
    if (AnySent(report))
        return {true, {}};
    if (switches.given)
        return {false, "No wake-up packet could be sent."};
    // The single datagram a console wake-up has always sent.
    return {false, "sendto(): " + (report.lines.empty() ? std::string() : report.lines[0].reason)};
}

int ConsoleWake(const WakeUpTarget& target, const WakeSwitches& switches)
{
    const ConsoleWakeOutcome outcome = SendConsoleWake(target, switches);
    return outcome.sent ? 1 : ConsoleWakeFailed(outcome.failure);
}

} // namespace pondel
