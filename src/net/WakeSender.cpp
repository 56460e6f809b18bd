#include "WakeSender.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>

#include "MagicPacket.h"
#include "UnicastNeighbour.h"
#include "WakeTransport.h"

namespace pondel {
namespace {

// Waits out the interval between rounds; false when a stop came first.
bool Pause(std::chrono::milliseconds interval, std::stop_token stop)
{
    std::mutex mutex;
    std::condition_variable_any wakeUp;
    std::unique_lock lock(mutex);
    (void)wakeUp.wait_for(lock, stop, interval, [] { return false; });
    return !stop.stop_requested();
}

bool HasUnicast(const WakeReport& report)
{
    return std::ranges::any_of(report.lines, [](const WakeSendLine& line) {
        return line.path == WakePath::kUnicast && line.state == WakeSendState::kPlanned;
    });
}

// Marks the unicast datagrams the kernel dropped for want of the host's
// link address.
void RecordDelivery(UnicastNeighbour& neighbour, WakeReport& report, std::stop_token stop)
{
    const UnicastNeighbour::Outcome outcome = neighbour.Settle(stop);
    if (outcome == UnicastNeighbour::Outcome::kLeft)
        return;
    for (WakeSendLine& line : report.lines) {
        if (line.path != WakePath::kUnicast || line.state != WakeSendState::kSent)
            continue;
        if (outcome == UnicastNeighbour::Outcome::kDropped) {
            line.state = WakeSendState::kNotDelivered;
            line.reason = neighbour.Reason();
        } else {
            line.reason = "address resolution had not ended when the wake-up did";
        }
    }
}

} // namespace

WakeReport SendWake(const WakeRequest& request, std::stop_token stop)
{
    WakeReport report{PlanWake(request)};
    const std::vector<std::uint8_t> payload = BuildWakePayload(request.mac, request.secureOn);
    WakeTransport transport;
    std::optional<UnicastNeighbour> neighbour;
    if (request.watchNeighbour && HasUnicast(report))
        neighbour.emplace(request.ip, request.mac);

    unsigned round = 0;
    for (WakeSendLine& line : report.lines) {
        // A stop ends the wake-up between rounds, never inside one.
        if (line.round != round) {
            if (round != 0 && !Pause(request.interval, stop))
                break;
            if (stop.stop_requested())
                break;
            round = line.round;
        }
        if (line.state != WakeSendState::kPlanned)
            continue;
        if (line.path == WakePath::kUnicast && neighbour)
            neighbour->Renew();
        transport.Send(line, payload);
    }
    if (neighbour)
        RecordDelivery(*neighbour, report, stop);
    return report;
}

bool AnySent(const WakeReport& report) noexcept
{
    return std::ranges::any_of(
        report.lines, [](const WakeSendLine& line) { return line.state == WakeSendState::kSent; });
}

} // namespace pondel
