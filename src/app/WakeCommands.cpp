#include "WakeCommands.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>
#include <string>

#include "AddressLookup.h"
#include "Ipv4Text.h"
#include "RunOnThreads.h"
#include "SystemError.h"
#include "WakeRequestBuilder.h"
#include "WakeSender.h"

namespace pondel {
namespace {

// Hosts woken at once: their rounds wait out the interval side by side.
constexpr std::size_t kWakeThreads = 16;

// The selected rows of the list, in list order.
std::vector<std::int32_t> RowsInListOrder(
    std::vector<std::int32_t> selectedRows, std::int32_t rowCount)
{
    std::sort(selectedRows.begin(), selectedRows.end());
    selectedRows.erase(std::unique(selectedRows.begin(), selectedRows.end()), selectedRows.end());
    std::erase_if(selectedRows, [&](std::int32_t row) { return row < 0 || row >= rowCount; });
    return selectedRows;
}

WakeHostKey KeyOf(const tHostInfo& host)
{
    return {host.hostName, host.ipAddr, host.macAddr};
}

bool Holds(const tHostInfo& host, const WakeHostKey& key)
{
    return key.hostName == host.hostName && key.ipAddr == host.ipAddr &&
        key.macAddr == host.macAddr;
}

std::uint64_t ListGenerationNow(ListLocks& locks)
{
    const std::scoped_lock lock(locks.ViewLock);
    return locks.ListGeneration;
}

// Asks, refuses or builds the request of one row; true when the row counts
// as tried.
bool PrepareHost(std::int32_t row, bool broadcast, WakeContext& context, WakeBatch& batch)
{
    // Only the texts are read: the monitor may be writing the active flag.
    const tHostInfo& host = context.hosts[row];
    const auto refuse = [&](MessageId message) {
        batch.refused.push_back({row, HostFailure{host.hostName, message, {}}});
    };
    if (host.macAddr[0] == '\0') {
        refuse(MessageId::kIllegalMac);
        return false;
    }
    if (host.ipAddr[0] == '\0') {
        refuse(MessageId::kNoIpAddress);
        return false;
    }

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
        return true;

    BuiltWakeRequest built =
        BuildWakeRequest({current.ipAddr, current.netMask, current.macAddr,
                             FieldText(host.interfaceName), FieldText(host.secureOn)},
            context.settings, broadcast);
    if (built.refusal)
        refuse(*built.refusal);
    else
        batch.hosts.push_back({row, KeyOf(host), std::move(built.request), {}});
    return true;
}

// The row that holds the host now: its own while the list is unchanged,
// else the first that holds the same texts. None during a collection, which
// holds the list.
std::optional<std::int32_t> RowNow(
    std::int32_t row, const WakeHostKey& key, std::uint64_t generation, WakeContext& context)
{
    // A sweep holds ViewLock for its whole run, and until its thread ends
    // after a stop.
    if (context.window.CollectRunning() || context.locks.IsCollectRunning())
        return std::nullopt;
    const std::scoped_lock lock(context.locks.ViewLock);
    if (context.locks.ListGeneration == generation)
        return row;
    for (std::int32_t i = 0; i < context.hosts.Count(); ++i) {
        if (Holds(context.hosts[i], key))
            return i;
    }
    return std::nullopt;
}

// Has the hosts that at least one datagram or frame went out to watched
// until they answer, at the rows that hold them now.
void WatchSentHosts(const WakeBatch& batch, WakeContext& context)
{
    std::vector<std::int32_t> woken;
    for (const HostWake& host : batch.hosts) {
        if (!AnySent(host.report))
            continue;
        if (const auto row = RowNow(host.row, host.key, batch.listGeneration, context))
            woken.push_back(*row);
    }
    if (!woken.empty())
        context.window.WatchWokenHosts(woken, batch.broadcast);
}

} // namespace

WakeNetwork SystemWakeNetwork()
{
    return {[](const WakeRequest& request, std::stop_token stop) {
                return SendWake(request, std::move(stop));
            },
        GetNetMask, IsOnLocalNetwork};
}

WakeBatch PrepareWake(
    const std::vector<std::int32_t>& selectedRows, bool broadcast, WakeContext& context)
{
    WakeBatch batch;
    batch.broadcast = broadcast;
    if (context.locks.IsCollectRunning())
        return batch;
    batch.rows = RowsInListOrder(selectedRows, context.hosts.Count());
    if (batch.rows.empty()) {
        context.window.ShowMessage(MessageId::kSelectHost);
        return batch;
    }
    batch.listGeneration = ListGenerationNow(context.locks);
    batch.firstHost = KeyOf(context.hosts[batch.rows.front()]);
    for (const std::int32_t row : batch.rows) {
        if (PrepareHost(row, broadcast, context, batch))
            ++batch.attempts;
    }
    return batch;
}

void SendWakeBatch(WakeBatch& batch, const WakeNetwork& network, std::stop_token stop)
{
    std::atomic<std::size_t> next{0};
    RunOnThreads(std::min(kWakeThreads, batch.hosts.size()), [&] {
        for (std::size_t i = next++; i < batch.hosts.size() && !stop.stop_requested(); i = next++)
            batch.hosts[i].report = network.sendWake(batch.hosts[i].request, stop);
    });
}

std::optional<HostFailure> SendFailure(const HostWake& host)
{
    if (AnySent(host.report))
        return std::nullopt;
    HostFailure failure{host.key.hostName, MessageId::kIllegalMac, {}};
    const auto& lines = host.report.lines;
    const auto failed = std::ranges::find_if(lines, [](const WakeSendLine& line) {
        return line.state != WakeSendState::kSkipped && line.systemError != 0;
    });
    if (failed != lines.end())
        failure.systemText = "sendto(): " + GetSystemErrorText(failed->systemError);
    else if (const auto told = std::ranges::find_if(
                 lines, [](const WakeSendLine& line) { return !line.reason.empty(); });
             told != lines.end())
        failure.systemText = told->reason;
    return failure;
}

void FinishWake(const WakeBatch& batch, WakeContext& context)
{
    if (batch.rows.empty())
        return;
    std::vector<std::pair<std::int32_t, HostFailure>> failures = batch.refused;
    for (const HostWake& host : batch.hosts) {
        if (auto failure = SendFailure(host))
            failures.push_back({host.row, std::move(*failure)});
    }
    std::ranges::stable_sort(failures, {}, &std::pair<std::int32_t, HostFailure>::first);
    if (batch.rows.size() == 1 && !failures.empty()) {
        ShowHostFailure(failures.front().second, context.window);
    } else if (!failures.empty()) {
        std::vector<HostFailure> list;
        for (auto& failure : failures)
            list.push_back(failure.second);
        context.window.ShowHostFailures(list);
    }
    FollowUpWake(batch, context);
}

void FollowUpWake(const WakeBatch& batch, WakeContext& context)
{
    // A row that was refused outright leaves the default host as it was.
    if (batch.attempts == 0 || !batch.firstHost)
        return;
    const std::optional<std::int32_t> first =
        RowNow(batch.rows.front(), *batch.firstHost, batch.listGeneration, context);
    if (first)
        context.window.WriteDefaultHost(*first);
    WatchSentHosts(batch, context);
    if (batch.attempts > 1)
        context.window.RequestStatusPass();
    else if (first)
        context.window.RecheckHost(*first);
    context.window.UpdateCommandState();
}

WakeSummary SummarizeWake(const WakeBatch& batch)
{
    WakeSummary summary;
    summary.hosts = batch.hosts.size();
    if (summary.hosts == 1)
        summary.hostName = batch.hosts.front().key.hostName;
    std::set<WakePath> paths;
    for (const HostWake& host : batch.hosts) {
        for (const WakeSendLine& line : host.report.lines) {
            switch (line.state) {
            case WakeSendState::kSent:
                ++summary.sent;
                paths.insert(line.path);
                break;
            case WakeSendState::kSkipped:
                ++summary.skipped;
                break;
            case WakeSendState::kFailed:
            case WakeSendState::kNotDelivered:
                ++summary.failed;
                break;
            case WakeSendState::kPlanned:
                break;
            }
        }
    }
    summary.paths = paths.size();
    return summary;
}

void ShowHostFailure(const HostFailure& failure, WindowSide& window)
{
    if (failure.systemText.empty())
        window.ShowMessage(failure.message);
    else
        window.ShowText(failure.systemText);
}

} // namespace pondel
