#include "WakeSender.h"

#include <algorithm>

#include "DatagramSend.h"
#include "Ipv4Text.h"
#include "MagicPacket.h"
#include "SystemError.h"

namespace pondel {

std::vector<WakeSendLine> PlanWake(const WakeRequest& request)
{
    std::vector<WakeSendLine> lines;
    const bool broadcast = (request.paths & PathBit(WakePath::kDirectedBroadcast)) != 0;
    const std::uint32_t destination =
        MagicPacketDestination(request.ip, request.netMask, broadcast);
    for (unsigned round = 1; round <= request.repeats; ++round) {
        for (const std::uint16_t port : request.ports) {
            WakeSendLine line;
            line.path = broadcast ? WakePath::kDirectedBroadcast : WakePath::kUnicast;
            line.destination = IpToText(destination);
            line.port = port;
            line.length = kMagicPacketSize;
            line.round = round;
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

WakeReport SendWake(const WakeRequest& request, std::stop_token stop)
{
    WakeReport report{PlanWake(request)};
    const MagicPacket packet = BuildMagicPacket(request.mac);
    for (WakeSendLine& line : report.lines) {
        if (stop.stop_requested())
            break;
        const bool broadcast = line.path == WakePath::kDirectedBroadcast;
        const DatagramOutcome outcome =
            SendDatagram(TextToIp(line.destination), line.port, packet, broadcast);
        line.state =
            outcome.step == DatagramStep::kSent ? WakeSendState::kSent : WakeSendState::kFailed;
        line.systemError = outcome.errorNumber;
        if (line.state == WakeSendState::kFailed)
            line.reason = GetSystemErrorText(outcome.errorNumber);
    }
    return report;
}

bool AnySent(const WakeReport& report) noexcept
{
    return std::ranges::any_of(
        report.lines, [](const WakeSendLine& line) { return line.state == WakeSendState::kSent; });
}

} // namespace pondel
