#include "StatusMonitor.h"

#include <string>
#include <utility>
#include <vector>

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
    if (!services_.netMaskOf && !services_.readNetMasks)
        services_.readNetMasks = ReadNetMasks;
    if (!services_.readNetMasks)
        services_.readNetMasks = [netMaskOf = services_.netMaskOf] { return netMaskOf; };
    if (!services_.openProbe)
        services_.openProbe = OpenProbeRun;
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
    passRequested_ = true;
    locks_.AbortPass = true;
    CheckRequestEvent.Set();
}

void StatusMonitor::RequestHostChecks(std::vector<std::int32_t> indexes)
{
    if (indexes.empty())
        return;
    {
        const std::scoped_lock lock(checksMutex_);
        requestedChecks_.push_back(std::move(indexes));
    }
    StopPass();
    CheckRequestEvent.Set();
}

void StatusMonitor::StopPass()
{
    if (passRunning_)
        locks_.AbortPass = true;
}

void StatusMonitor::MonitorThread()
{
    while (MonitorRunning) {
        CheckRequestEvent.Wait();
        if (!MonitorRunning)
            break;
        RunRequestedChecks();
        if (passRequested_.exchange(false))
            RunPass();
        // Checks asked for while the pass ran have stopped it; they are
        // answered now rather than dropped with the pass requests.
        RunRequestedChecks();
    }
}

void StatusMonitor::RunPass()
{
    if (locks_.IsCollectRunning())
        return;
    locks_.AbortPass = false;
    passRunning_ = true;
    const Result<void> checked = CheckHosts({}, true);
    passRunning_ = false;
    // Requests made during the pass have already stopped it; they do not
    // start another one. The window hears of the end only after this,
    // so that a request it makes in answer is never dropped.
    passRequested_ = false;
    CheckRequestEvent.Reset();
    if (!checked)
        listener_.OnProbeFailed(checked.Error());
    listener_.OnPassEnded();
}

void StatusMonitor::RunRequestedChecks()
{
    while (MonitorRunning) {
        std::vector<std::int32_t> indexes;
        {
            const std::scoped_lock lock(checksMutex_);
            if (requestedChecks_.empty())
                return;
            indexes = std::move(requestedChecks_.front());
            requestedChecks_.erase(requestedChecks_.begin());
        }
        const Result<void> checked = CheckHosts(indexes);
        if (!checked)
            listener_.OnProbeFailed(checked.Error());
        listener_.OnHostsChecked(indexes);
    }
}

// One pass or single check as the probe run sees it: the hosts to probe,
// in list order, as they were when it began, and where their verdicts go.
class StatusMonitor::PassEvents final : public ProbeRunEvents {
public:
    PassEvents(StatusMonitor& monitor, bool wholePass)
        : monitor_(monitor)
        , wholePass_(wholePass)
    {
    }

    // The list as it stands: its length and its change count.
    void Begin(std::int32_t count, std::uint64_t generation)
    {
        total_ = count;
        generation_ = generation;
    }
    void Add(std::int32_t hostIndex, std::string ipAddr, std::string macAddr)
    {
        targets_.push_back({hostIndex, std::move(ipAddr), std::move(macAddr)});
    }
    [[nodiscard]] std::uint64_t Count() const noexcept { return targets_.size(); }
    [[nodiscard]] bool Stopped() const noexcept { return stopped_; }

    std::string TargetOf(std::uint64_t index) override { return targets_[index].ipAddr; }

    // A single check runs to its end; a pass stops when the monitor stops
    // or somebody needs the list. The abort is taken once and remembered.
    bool ShouldStop() override
    {
        if (wholePass_ && !stopped_)
            stopped_ = !monitor_.MonitorRunning || monitor_.locks_.AbortPass.exchange(false);
        return stopped_;
    }

    void OnProbed(std::uint64_t) override { }

    // A verdict lands only on the list it was asked about: once the list has
    // changed, its rows may hold other hosts.
    void OnAnswer(std::uint64_t index, bool answered) override
    {
        OnLinkAnswer(index, answered, LinkAnswer{});
    }

    void OnLinkAnswer(std::uint64_t index, bool echoed, const LinkAnswer& link) override
    {
        const Target& target = targets_[index];
        const HostVerdict verdict = JudgeHost(echoed, link, target.macAddr);
        {
            const std::scoped_lock view(monitor_.locks_.ViewLock);
            if (monitor_.locks_.ListGeneration == generation_)
                StoreVerdict(monitor_.hosts_[target.hostIndex], verdict, link);
        }
        AdvanceTo(target.hostIndex + 1);
    }

    // Counts every host up to `done` as done, the unprobed ones among them
    // included, one by one as a pass from first to last would. Answers that
    // come out of order only ever move the count on.
    void AdvanceTo(std::int32_t done)
    {
        if (!wholePass_)
            return;
        while (done_ < done)
            monitor_.listener_.OnPassProgress(++done_, total_);
    }

private:
    struct Target {
        std::int32_t hostIndex = 0;
        std::string ipAddr;
        std::string macAddr;
    };

    StatusMonitor& monitor_;
    const bool wholePass_;
    std::vector<Target> targets_;
    std::int32_t total_ = 0;
    std::uint64_t generation_ = 0;
    bool stopped_ = false;
    std::int32_t done_ = 0;
};

Result<void> StatusMonitor::CheckHosts(const std::vector<std::int32_t>& indexes, bool wholePass)
{
    PassEvents pass(*this, wholePass);
    if (pass.ShouldStop())
        return {};
    // The hosts are read under ProbeLock and probed without it, so that a
    // change of the list never waits for the probes under way.
    std::vector<std::pair<std::int32_t, tHostInfo>> hosts;
    std::int32_t count = 0;
    {
        const std::scoped_lock lock(locks_.ProbeLock);
        count = hosts_.Count();
        pass.Begin(count, locks_.ListGeneration);
        if (wholePass) {
            for (std::int32_t i = 0; i < count; ++i)
                hosts.emplace_back(i, hosts_[i]);
        } else {
            for (const std::int32_t i : indexes) {
                if (i >= 0 && i < count)
                    hosts.emplace_back(i, hosts_[i]);
            }
        }
    }
    auto run = services_.openProbe(CurrentProbeSettings());
    if (!run)
        return run.Error();

    // This computer's networks are read once; each host's netmask is worked
    // out in turn, so that a stop is heard between them.
    const auto netMaskOf = services_.readNetMasks();
    for (const auto& [index, host] : hosts) {
        if (pass.ShouldStop())
            return {};
        if (IsProbed(host, netMaskOf))
            pass.Add(index, host.ipAddr, host.macAddr);
    }
    run.Value()(pass.Count(), pass);
    // Hosts at the end that were not probed are done as well.
    if (!pass.Stopped())
        pass.AdvanceTo(count);
    return {};
}

bool StatusMonitor::IsProbed(
    const tHostInfo& host, const std::function<std::uint32_t(std::uint32_t)>& netMaskOf)
{
    if (host.ipAddr[0] == '\0')
        return false;
    const std::uint32_t address = TextToIp(host.ipAddr);
    const std::uint32_t netMask =
        host.netMask[0] == '\0' ? netMaskOf(address) : TextToIp(host.netMask);
    // The broadcast address of its own network would be answered by every
    // host on it, if by any.
    return (address | ~netMask) != address;
}

} // namespace pondel
