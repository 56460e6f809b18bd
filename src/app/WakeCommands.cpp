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

    std::int32_t first = -1;
    int attempts = 0;
    for (const std::int32_t row : RowsInListOrder(selectedRows, context.hosts.Count())) {
        if (first < 0)
            first = row;
        const tHostInfo& host = context.hosts[row];
        // A refused row ends the command before anything is remembered.
        if (host.macAddr[0] == '\0') {
            context.window.ShowMessage(MessageId::kIllegalMac);
            return;
        }
        if (host.ipAddr[0] == '\0') {
            context.window.ShowMessage(MessageId::kNoIpAddress);
            return;
        }
        ++attempts;
        if (!WakeHost(row, broadcast, context))
            break;
    }
    if (first < 0) {
        context.window.ShowMessage(MessageId::kSelectHost);
        return;
    }

    context.window.WriteDefaultHost(first);
    if (attempts <= 1)
        context.window.RecheckHost(first);
    else
        context.window.RequestStatusPass();
    context.window.UpdateCommandState();
}

bool WakeHost(std::int32_t row, bool broadcast, WakeContext& context)
{
    // Only the texts are read: the monitor may be writing the active flag.
    const tHostInfo& host = context.hosts[row];
    HostTexts& current = context.currentHost;
    current.hostName = host.hostName;
    current.ipAddr = host.ipAddr;
    current.netMask = host.netMask;
    current.macAddr = host.macAddr;

    if (current.ipAddr.empty()) {
        context.window.ShowMessage(MessageId::kNoIpAddress);
        return false;
    }
    if (current.macAddr.empty()) {
        context.window.ShowMessage(MessageId::kIllegalMac);
        return false;
    }
    const std::uint32_t ip = TextToIp(current.ipAddr);
    // The assumed netmask stays in CurrentHost, where the next new host
    // finds it; the record keeps its empty one.
    if (current.netMask.empty())
        current.netMask = IpToText(context.network.netMaskOf(ip));

    if (context.settings.checkNetworkSegment != 0 &&
        !context.network.isOnLocalNetwork(ip, TextToIp(current.netMask)) &&
        !context.window.Ask(
            MessageId::kOtherNetwork, current.hostName + "(" + current.ipAddr + ")"))
        return false;

    return SendWakePacket(current.ipAddr, current.netMask, current.macAddr, broadcast, context) ==
        kMagicPacketSent;
}

int SendWakePacket(std::string_view ip, std::string_view netMask, std::string_view mac,
    bool broadcast, WakeContext& context)
{
    const WakeSendOutcome outcome = context.network.sendMagicPacket(
        ip, netMask, mac, broadcast, static_cast<std::uint16_t>(context.settings.portNo));
    switch (outcome.status) {
    case kMagicPacketSent:
        break;
    case kMagicPacketNoIp:
        context.window.ShowMessage(MessageId::kNoIpAddress);
        break;
    case kMagicPacketBadMac:
        context.window.ShowMessage(MessageId::kIllegalMac);
        break;
    default:
        context.window.ShowText("sendto(): " + GetSystemErrorText(outcome.systemError));
        break;
    }
    return outcome.status;
}

} // namespace pondel
