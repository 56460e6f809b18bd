#include "WakeReportText.h"

#include <algorithm>

namespace pondel {
namespace {

std::string Counted(std::size_t count, std::string_view one, std::string_view many)
{
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

std::string ResultText(const WakeSendLine& line)
{
    const auto withReason = [&line](std::string_view state) {
        return std::string(state) + ": " + line.reason;
    };
    switch (line.state) {
    case WakeSendState::kPlanned:
        return "not-sent";
    case WakeSendState::kSent:
        return "sent";
    case WakeSendState::kSkipped:
        return withReason("skipped");
    case WakeSendState::kFailed:
        return withReason("failed");
    case WakeSendState::kNotDelivered:
        return withReason("not-delivered");
    }
    return {};
}

std::size_t PathsWith(const WakeReport& report, WakeSendState state)
{
    std::size_t paths = 0;
    for (unsigned path = 0; path <= static_cast<unsigned>(WakePath::kRawFrame); ++path)
        if (std::ranges::any_of(report.lines, [&](const WakeSendLine& line) {
                return static_cast<unsigned>(line.path) == path && line.state == state;
            }))
            ++paths;
    return paths;
}

std::size_t LinesIn(const WakeReport& report, WakeSendState state)
{
    return static_cast<std::size_t>(std::ranges::count_if(
        report.lines, [state](const WakeSendLine& line) { return line.state == state; }));
}

} // namespace

std::string_view WakePathName(WakePath path) noexcept
{
    switch (path) {
    case WakePath::kDirectedBroadcast:
        return "directed";
    case WakePath::kLimitedBroadcast:
        return "limited";
    case WakePath::kUnicast:
        return "unicast";
    case WakePath::kIpv6AllNodes:
        return "ipv6";
    case WakePath::kRawFrame:
        return "raw";
    }
    return "?";
}

std::string WakeLineText(const WakeSendLine& line, bool withResult)
{
    std::string text(WakePathName(line.path));
    text += ' ';
    text += line.destination.empty() ? "-" : line.destination;
    text += ' ';
    text += line.port != 0 ? std::to_string(line.port) : "-";
    text += ' ';
    text += line.interfaceName.empty() ? "-" : line.interfaceName;
    text += ' ';
    text += std::to_string(line.length);
    if (withResult || line.state != WakeSendState::kPlanned) {
        text += ' ';
        text += ResultText(line);
    }
    return text;
}

std::string WakeSummaryText(const WakeReport& report)
{
    std::string text = Counted(LinesIn(report, WakeSendState::kSent), "packet", "packets") +
        " on " + Counted(PathsWith(report, WakeSendState::kSent), "path", "paths");
    if (const std::size_t skipped = PathsWith(report, WakeSendState::kSkipped); skipped != 0)
        text += ", " + std::to_string(skipped) + " skipped";
    if (const std::size_t failed = LinesIn(report, WakeSendState::kFailed); failed != 0)
        text += ", " + std::to_string(failed) + " failed";
    if (const std::size_t lost = LinesIn(report, WakeSendState::kNotDelivered); lost != 0)
        text += ", " + std::to_string(lost) + " not delivered";
    return text;
}

} // namespace pondel
