#include "StatusMonitor.h"

#include <utility>

#include "AddressLookup.h"
#include "Ipv4Text.h"

namespace pondel {

StatusMonitor::StatusMonitor(
    HostList& hosts, ListLocks& locks, StatusMonitorListener& listener, MonitorServices services)
    : hosts_(hosts)
    , locks_(locks)
    , listener_(listener)
    , services_(std::move(services))
{
    if (!services_.netMaskOf)
        services_.netMaskOf = GetNetMask;
    if (!services_.openProbe)
        services_.openProbe = OpenHostProbe;
}

StatusMonitor::~StatusMonitor()
{
    Stop();
}

void StatusMonitor::Start()
{
    if (thread_.joinable())
        return;
    MonitorRunning = true;
    thread_ = std::thread([this] { MonitorThread(); });
}

void StatusMonitor::Stop()
{
    if (!thread_.joinable())
        return;
    // The pass looks at both flags before each host, so the join waits for
    // the probe in progress and no longer.
    locks_.AbortPass = true;
    MonitorRunning = false;
    CheckRequestEvent.Set();
    thread_.join();
}

void StatusMonitor::SetProbeSettings(const ProbeSettings& settings)
{
    const std::scoped_lock lock(settingsMutex_);
    probeSettings_ = settings;
}

ProbeSettings StatusMonitor::CurrentProbeSettings()
{
    const std::scoped_lock lock(settingsMutex_);
    return probeSettings_;
}

void StatusMonitor::RequestStatusPass()
{
    listener_.OnPassProgress(0, hosts_.Count());
    if (locks_.IsCollectRunning())
        return;
    locks_.AbortPass = true;
    CheckRequestEvent.Set();
}

void StatusMonitor::MonitorThread()
{
    while (MonitorRunning) {
        CheckRequestEvent.Wait();
        if (!MonitorRunning)
            break;
        if (locks_.IsCollectRunning())
            continue;
        locks_.AbortPass = false;
        const Result<void> checked = CheckHosts(-1);
        // Requests made during the pass have already stopped it; they do not
        // start another one. The window hears of the end only after this,
        // so that a request it makes in answer is never dropped.
        CheckRequestEvent.Reset();
        if (!checked)
            listener_.OnProbeFailed(checked.Error());
        listener_.OnPassEnded();
    }
}

Result<void> StatusMonitor::CheckHosts(std::int32_t index)
{
    const std::scoped_lock lock(locks_.ProbeLock);
    const std::int32_t count = hosts_.Count();
    if (index >= count)
        return {};
    auto probe = services_.openProbe(CurrentProbeSettings());
    if (!probe)
        return probe.Error();

    if (index >= 0) {
        CheckHostActive(probe.Value(), index);
        return {};
    }
    for (std::int32_t i = 0; i < count && MonitorRunning; ++i) {
        if (locks_.AbortPass.exchange(false))
            break;
        CheckHostActive(probe.Value(), i);
        listener_.OnPassProgress(i + 1, count);
    }
    return {};
}

Result<void> StatusMonitor::CheckHostNow(std::int32_t index)
{
    locks_.AbortPass = true;
    auto checked = CheckHosts(index);
    locks_.AbortPass = false;
    return checked;
}

std::int32_t StatusMonitor::CheckHostActive(const HostProbe& probe, std::int32_t index)
{
    if (index >= hosts_.Count())
        return 0;
    tHostInfo& host = hosts_[index];
    if (host.ipAddr[0] == '\0')
        return 0;
    const std::uint32_t address = TextToIp(host.ipAddr);
    const std::uint32_t netMask =
        host.netMask[0] == '\0' ? services_.netMaskOf(address) : TextToIp(host.netMask);
    // The broadcast address of its own network would be answered by every
    // host on it, if by any.
    if ((address | ~netMask) == address)
        return 0;

    const std::int32_t active = probe(host.ipAddr) ? 1 : 0;
    const std::scoped_lock view(locks_.ViewLock);
    host.active = active;
    return active;
}

} // namespace pondel
