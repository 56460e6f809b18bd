#include "AddressSweep.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <mutex>
#include <set>
#include <utility>

#include "AddressLookup.h"
#include "Ipv4Text.h"
#include "ReverseLookup.h"
#include "RunOnThreads.h"
#include "ThreadPriority.h"

namespace pondel {

ProbeSettings SweepProbeSettings(const AppSettings& settings)
{
    return {settings.collectHostIcmpTimeOut,
        settings.noExternalCommand != 0 ? ProbeMethod::kOwnEcho : ProbeMethod::kSystemPing,
        settings.probeRate, settings.arpProbe != 0};
}

AddressSweep::AddressSweep(
    HostList& hosts, ListLocks& locks, AddressSweepListener& listener, SweepServices services)
    : hosts_(hosts)
    , locks_(locks)
    , listener_(listener)
    , services_(std::move(services))
{
    if (!services_.openProbe)
        services_.openProbe = OpenProbeRun;
    if (!services_.hostNameOf)
        services_.hostNameOf = ReverseLookupName;
    if (!services_.macAddressOf)
        services_.macAddressOf = GetKnownMacAddress;
}

AddressSweep::~AddressSweep()
{
    StopAndWait();
}

bool AddressSweep::Start(
    const CollectRange& range, const ProbeSettings& probe, std::uint32_t maxHostNum)
{
    if (running_)
        return false;
    // The last sweep has already said its last word; only its thread's
    // return is still to come.
    if (thread_.joinable())
        thread_.join();
    running_ = true;
    // Set here rather than on the new thread, so that a Stop coming before
    // the thread has begun is not overwritten, and so that the monitor skips
    // its passes from now on.
    locks_.SetCollectRunning(true);
    thread_ =
        std::thread([this, order = Order{range, probe, maxHostNum}] { CollectThread(order); });
    return true;
}

void AddressSweep::Stop()
{
    locks_.SetCollectRunning(false);
}

void AddressSweep::StopAndWait()
{
    if (!thread_.joinable())
        return;
    Stop();
    thread_.join();
}

void AddressSweep::CollectThread(const Order& order)
{
    // A long sweep must not slow down the window or the machine; at worst
    // it then runs only when the processor is otherwise idle.
    static_cast<void>(LowerThreadToIdlePriority());
    const bool added = SweepAddressRange(order);
    // Everything is settled before the window hears of the end: a status
    // pass it asks for then is not skipped for a sweep that is over.
    locks_.SetCollectRunning(false);
    running_ = false;
    listener_.OnSweepFinished(added ? SweepEnd::kHostsAdded : SweepEnd::kNothingAdded);
}

bool AddressSweep::SweepAddressRange(const Order& order)
{
    auto run = services_.openProbe(order.probe);
    if (!run) {
        listener_.OnSweepFinished(SweepEnd::kIcmpUnavailable);
        return false;
    }
    // A status pass in progress gives up the list.
    locks_.AbortPass = true;
    bool added = false;
    {
        const std::scoped_lock probeLock(locks_.ProbeLock);
        const std::scoped_lock viewLock(locks_.ViewLock);
        added = ProbeRange(order, run.Value());
    }
    locks_.AbortPass = false;
    return added;
}

// The range as the probe run sees it, and the addresses that answered and
// are new to the list, each with the MAC address known when it answered.
// When the list has room for fewer than answer, the lowest addresses are
// kept, whatever order the answers come in.
class AddressSweep::RangeEvents final : public ProbeRunEvents {
public:
    RangeEvents(AddressSweep& sweep, const Order& order)
        : sweep_(sweep)
        , order_(order)
        , room_(order.maxHostNum > static_cast<std::uint32_t>(sweep.hosts_.Count())
                  ? order.maxHostNum - static_cast<std::uint32_t>(sweep.hosts_.Count())
                  : 0)
    {
    }

    [[nodiscard]] bool StoppedByUser() const noexcept { return stoppedByUser_; }
    [[nodiscard]] const FoundMacs& Found() const noexcept { return found_; }

    std::string TargetOf(std::uint64_t index) override { return IpToText(AddressOf(index)); }

    // A full list ends the sweep quietly once no probe under way can
    // displace a kept address; a stop is remembered, to be told.
    bool ShouldStop() override
    {
        if (IsFull() && !AnyPendingBelowHighestKept())
            return true;
        if (!stoppedByUser_ && !sweep_.locks_.IsCollectRunning())
            stoppedByUser_ = true;
        return stoppedByUser_;
    }

    void OnProbed(std::uint64_t index) override
    {
        pending_.insert(index);
        sweep_.listener_.OnSweepProgress(AddressOf(index));
    }

    void OnAnswer(std::uint64_t index, bool answered) override
    {
        OnLinkAnswer(index, answered, LinkAnswer{});
    }

    // A host that answers only ARP is found as well, with the MAC that
    // answered.
    void OnLinkAnswer(std::uint64_t index, bool echoed, const LinkAnswer& link) override
    {
        const bool answered = echoed || link.mac.has_value();
        pending_.erase(index);
        const std::uint32_t address = AddressOf(index);
        // Once the list is full, only a lower address than the kept ones
        // still counts.
        if (!answered || (IsFull() && (found_.empty() || address > found_.rbegin()->first)))
            return;
        sweep_.listener_.OnSweepDetected(++detectCount_);
        const std::string ipAddr = IpToText(address);
        if (sweep_.IsListed(ipAddr))
            return;
        // Now, while the neighbour table surely holds it: on a long sweep
        // the entry can be gone by the end of the range.
        found_.emplace(address,
            link.mac ? FormatMacAddress(*link.mac)
                     : sweep_.services_.macAddressOf(ipAddr).value_or(""));
        if (found_.size() > room_)
            found_.erase(std::prev(found_.end()));
    }

private:
    [[nodiscard]] std::uint32_t AddressOf(std::uint64_t index) const
    {
        return order_.range.start + static_cast<std::uint32_t>(index);
    }
    [[nodiscard]] bool IsFull() const noexcept { return found_.size() >= room_; }
    [[nodiscard]] bool AnyPendingBelowHighestKept() const
    {
        return !found_.empty() && !pending_.empty() &&
            AddressOf(*pending_.begin()) < found_.rbegin()->first;
    }

    AddressSweep& sweep_;
    const Order& order_;
    const std::uint64_t room_;
    std::int32_t detectCount_ = 0;
    FoundMacs found_;
    // Probes started and not yet judged, by index.
    std::set<std::uint64_t> pending_;
    bool stoppedByUser_ = false;
};

bool AddressSweep::ProbeRange(const Order& order, const ProbeRun& run)
{
    const CollectRange& range = order.range;
    RangeEvents events(*this, order);
    if (range.start <= range.end)
        run(AddressCount(range), events);
    if (events.StoppedByUser())
        listener_.OnSweepFinished(SweepEnd::kStopped);

    // Answers come in any order; the list gets them in the range's.
    for (tHostInfo& host : FoundHosts(events.Found(), range.netMask))
        hosts_.Append(std::move(host));
    return !events.Found().empty();
}

bool AddressSweep::IsListed(std::string_view ipAddr) const
{
    for (const tHostInfo& host : hosts_) {
        if (ipAddr == host.ipAddr)
            return true;
    }
    return false;
}

std::vector<tHostInfo> AddressSweep::FoundHosts(const FoundMacs& found, std::uint32_t netMask) const
{
    // A slow resolver holds up one worker, not the others.
    constexpr std::size_t kLookupWorkers = 16;
    const std::string maskText = IpToText(netMask);
    const std::vector<std::pair<std::uint32_t, std::string>> ordered(found.begin(), found.end());
    std::vector<tHostInfo> hosts(ordered.size());
    std::atomic<std::size_t> next{0};
    RunOnThreads(std::min(kLookupWorkers, ordered.size()), [&] {
        for (std::size_t i = next++; i < ordered.size(); i = next++)
            hosts[i] = FoundHost(ordered[i].first, maskText, ordered[i].second);
    });
    return hosts;
}

tHostInfo AddressSweep::FoundHost(
    std::uint32_t address, const std::string& netMask, const std::string& macAddr) const
{
    // The host name field keeps the first 127 characters of a longer name.
    tHostInfo host = MakeHostInfo(
        services_.hostNameOf(address).value_or(""), "", IpToText(address), netMask, macAddr);
    host.active = 1;
    return host;
}

} // namespace pondel
