#include "WakeCommands.h"

#include <algorithm>
#include <string>

#include "AddressLookup.h"
#include "Ipv4Text.h"
#include "MagicPacket.h"
#include "SystemError.h"

namespace pondel {
namespace {

// The selected rows of the list, in list order.
std::vector<std::int32_t> RowsInListOrder(
    std::vector<std::int32_t> selectedRows, std::int32_t rowCount)
{
    std::sort(selectedRows.begin(), selectedRows.end());
    selectedRows.erase(std::unique(selectedRows.begin(), selectedRows.end()), selectedRows.end());
    std::erase_if(selectedRows, [&](std::int32_t row) { return row < 0 || row >= rowCount; });
    return selectedRows;
}

} // namespace

WakeNetwork SystemWakeNetwork()
{
    return {SendMagicPacket, GetNetMask, IsOnLocalNetwork};
}

void WakeSelectedHosts(
    const std::vector<std::int32_t>& selectedRows, bool broadcast, WakeContext& context)
{
    if (context.locks.IsCollectRunning())
        return;

    const std::vector<std::int32_t> rows = RowsInListOrder(selectedRows, context.hosts.Count());
    if (rows.empty()) {
        context.window.ShowMessage(MessageId::kSelectHost);
        return;
    }
    std::vector<HostFailure> failures;
    std::vector<std::int32_t> woken;
    int attempts = 0;
    for (const std::int32_t row : rows) {
        WakeOutcome outcome = WakeHost(row, broadcast, context);
        if (outcome.end != WakeEnd::kRefused)
            ++attempts;
        if (outcome.end == WakeEnd::kSent)
            woken.push_back(row);
        if (outcome.end == WakeEnd::kRefused || outcome.end == WakeEnd::kFailed)
            failures.push_back(std::move(outcome.failure));
    }
    if (rows.size() == 1 && !failures.empty())
        ShowHostFailure(failures.front(), context.window);
    else if (!failures.empty())
        context.window.ShowHostFailures(failures);
    // A row that was refused outright leaves the default host as it was.
    if (attempts == 0)
        return;

    context.window.WriteDefaultHost(rows.front());
    if (!woken.empty())
        context.window.WatchWokenHosts(woken, broadcast);
    if (attempts <= 1)
        context.window.RecheckHost(rows.front());
    else
        context.window.RequestStatusPass();
    context.window.UpdateCommandState();
}

WakeOutcome WakeHost(std::int32_t row, bool broadcast, WakeContext& context)
{
    // Only the texts are read: the monitor may be writing the active flag.
    const tHostInfo& host = context.hosts[row];
    const auto refused = [&](MessageId message) {
        return WakeOutcome{WakeEnd::kRefused, {host.hostName, message, {}}};
    };
    if (host.macAddr[0] == '\0')
        return refused(MessageId::kIllegalMac);
    if (host.ipAddr[0] == '\0')
        return refused(MessageId::kNoIpAddress);

    HostTexts& current = context.currentHost;
    current.hostName = host.hostName;
    current.ipAddr = host.ipAddr;
    current.netMask = host.netMask;
    current.macAddr = host.macAddr;
    const std::uint32_t ip = TextToIp(current.ipAddr);
    // The assumed netmask stays in CurrentHost, where the next new host
    // finds it; the record keeps its empty one.
    if (current.netMask.empty())
        current.netMask = IpToText(context.network.netMaskOf(ip));

    if (context.settings.checkNetworkSegment != 0 &&
        !context.network.isOnLocalNetwork(ip, TextToIp(current.netMask)) &&
        !context.window.Ask(
            MessageId::kOtherNetwork, current.hostName + "(" + current.ipAddr + ")"))
        return {WakeEnd::kDeclined, {}};

    const WakeSendOutcome sent =
        SendWakePacket(current.ipAddr, current.netMask, current.macAddr, broadcast, context);
    switch (sent.status) {
    case kMagicPacketSent:
        return {WakeEnd::kSent, {}};
    case kMagicPacketNoIp:
        return {WakeEnd::kFailed, {current.hostName, MessageId::kNoIpAddress, {}}};
    case kMagicPacketBadMac:
        return {WakeEnd::kFailed, {current.hostName, MessageId::kIllegalMac, {}}};
    default:
        return {WakeEnd::kFailed,
            {current.hostName, MessageId::kIllegalMac,
                "sendto(): " + GetSystemErrorText(sent.systemError)}};
    }
}

WakeSendOutcome SendWakePacket(std::string_view ip, std::string_view netMask, std::string_view mac,
    bool broadcast, WakeContext& context)
{
    return context.network.sendMagicPacket(
        ip, netMask, mac, broadcast, static_cast<std::uint16_t>(context.settings.portNo));
}

void ShowHostFailure(const HostFailure& failure, WindowSide& window)
{
    if (failure.systemText.empty())
        window.ShowMessage(failure.message);
    else
        window.ShowText(failure.systemText);
}

} // namespace pondel
