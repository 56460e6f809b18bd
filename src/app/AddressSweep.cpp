#include "AddressSweep.h"

#include <mutex>
#include <utility>

#include "AddressLookup.h"
#include "Ipv4Text.h"
#include "ReverseLookup.h"

namespace pondel {

ProbeSettings SweepProbeSettings(const AppSettings& settings)
{
    return {settings.collectHostIcmpTimeOut,
        settings.noExternalCommand != 0 ? ProbeMethod::kOwnEcho : ProbeMethod::kSystemPing};
}

AddressSweep::AddressSweep(
    HostList& hosts, ListLocks& locks, AddressSweepListener& listener, SweepServices services)
    : hosts_(hosts)
    , locks_(locks)
    , listener_(listener)
    , services_(std::move(services))
{
    if (!services_.openProbe)
        services_.openProbe = OpenHostProbe;
    if (!services_.hostNameOf)
        services_.hostNameOf = ReverseLookupName;
    if (!services_.macAddressOf)
        services_.macAddressOf = GetMacAddress;
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
    const bool added = SweepAddressRange(order);
    // Everything is settled before the window hears of the end: a status
    // pass it asks for then is not skipped for a sweep that is over.
    locks_.SetCollectRunning(false);
    running_ = false;
    listener_.OnSweepFinished(added ? SweepEnd::kHostsAdded : SweepEnd::kNothingAdded);
}

bool AddressSweep::SweepAddressRange(const Order& order)
{
    auto probe = services_.openProbe(order.probe);
    if (!probe) {
        listener_.OnSweepFinished(SweepEnd::kIcmpUnavailable);
        return false;
    }
    // A status pass in progress gives up the list after its current host.
    locks_.AbortPass = true;
    bool added = false;
    {
        const std::scoped_lock probeLock(locks_.ProbeLock);
        const std::scoped_lock viewLock(locks_.ViewLock);
        added = ProbeRange(order, probe.Value());
    }
    locks_.AbortPass = false;
    return added;
}

bool AddressSweep::ProbeRange(const Order& order, const HostProbe& probe)
{
    const CollectRange& range = order.range;
    if (range.start > range.end)
        return false;
    const std::int32_t startCount = hosts_.Count();
    std::int32_t count = startCount;
    std::int32_t detectCount = 0;
    const std::string netMask = IpToText(range.netMask);

    for (std::uint32_t address = range.start;; ++address) {
        if (static_cast<std::uint32_t>(count) >= order.maxHostNum)
            break;
        if (!locks_.IsCollectRunning()) {
            listener_.OnSweepFinished(SweepEnd::kStopped);
            break;
        }
        const std::string ipAddr = IpToText(address);
        listener_.OnSweepProgress(address);
        if (probe(ipAddr)) {
            listener_.OnSweepDetected(++detectCount);
            if (!IsListed(ipAddr)) {
                hosts_.Append(FoundHost(address, ipAddr, netMask));
                ++count;
            }
        }
        // Checked before the step, so that a range ending at
        // 255.255.255.255 does not wrap round to 0.0.0.0.
        if (address == range.end)
            break;
    }
    return count != startCount;
}

bool AddressSweep::IsListed(std::string_view ipAddr) const
{
    for (const tHostInfo& host : hosts_) {
        if (ipAddr == host.ipAddr)
            return true;
    }
    return false;
}

tHostInfo AddressSweep::FoundHost(
    std::uint32_t address, const std::string& ipAddr, const std::string& netMask) const
{
    // The host name field keeps the first 127 characters of a longer name.
    tHostInfo host = MakeHostInfo(services_.hostNameOf(address).value_or(""), "", ipAddr, netMask,
        services_.macAddressOf(ipAddr).value_or(""));
    host.active = 1;
    return host;
}

} // namespace pondel
