#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "AppSettings.h"
#include "CollectRange.h"
#include "HostList.h"
#include "ListLocks.h"
#include "ProbeRun.h"

namespace pondel {

// How a sweep ended; the values are the window's notification parameters.
enum class SweepEnd : std::int32_t {
    kStopped = -2,         // Stop was asked for
    kIcmpUnavailable = -1, // our own echo was chosen and no ICMP socket could be opened
    kNothingAdded = 0,
    kHostsAdded = 1,
};

// What a sweep tells the window. Every call comes on the sweep thread, most
// of them while it holds ProbeLock and ViewLock: the window hands each call
// on to its own thread as a queued call, which keeps their order, and never
// blocks in them or takes a lock of ListLocks there. The listener must
// outlive the sweep.
class AddressSweepListener {
public:
    virtual ~AddressSweepListener() = default;

    // The probe of `address` (host order) has started.
    virtual void OnSweepProgress(std::uint32_t address) = 0;
    // An address answered; `detectCount` counts this sweep's answers,
    // hosts that were already listed included. Once the list is full, only
    // answers from below the highest address kept count.
    virtual void OnSweepDetected(std::int32_t detectCount) = 0;
    // kStopped or kIcmpUnavailable may come first; every sweep then ends with
    // exactly one kNothingAdded or kHostsAdded, its last call. When that one
    // comes, the locks are free, CollectRunning and AbortPass are clear and
    // IsRunning is false, so the window may refill the list, ask for a status
    // pass or start the next sweep at once.
    virtual void OnSweepFinished(SweepEnd end) = 0;
};

// What the sweep asks of the system; tests put stand-ins here.
struct SweepServices {
    ProbeRunOpener openProbe = OpenProbeRun;
    // The official name of an address (host order), none when it has none.
    // Called from several threads at once.
    std::function<std::optional<std::string>(std::uint32_t address)> hostNameOf;
    // The MAC text of an address that has just answered, none when it is
    // not known. Called on the thread that runs the probes, as each answer
    // comes.
    std::function<std::optional<std::string>(std::string_view ipAddr)> macAddressOf;
};

// The sweep's choice: NO_EXTERNAL_COMMAND, COLLECT_HOST_ICMP_TIME_OUT and
// PROBE_RATE.
[[nodiscard]] ProbeSettings SweepProbeSettings(const AppSettings& settings);

// Collects the hosts of an address range that answer a probe: every address
// from start to end is probed, at the settings' pace, on a thread of the
// sweep's own, and each answering address not yet in the host list (same IP
// address text) is appended in address order with its name, MAC address and
// the range's netmask, marked active. A MAC address is read from the
// neighbour table as its host answers; the names are looked up once the
// probing is over, several at a time. The sweep thread runs at idle
// priority. The sweep holds ProbeLock and ViewLock from its first probe to
// its last, so nobody else reads or changes the list meanwhile;
// CollectRunning is set from Start to the end.
//
// Start, Stop, StopAndWait and IsRunning are for one thread, the window's.
class AddressSweep final {
public:
    AddressSweep(HostList& hosts, ListLocks& locks, AddressSweepListener& listener,
        SweepServices services = {});
    // StopAndWait: the hosts found so far stay in the list.
    ~AddressSweep();
    AddressSweep(const AddressSweep&) = delete;
    AddressSweep& operator=(const AddressSweep&) = delete;

    // Starts sweeping `range`; it ends by itself. Where more hosts answer
    // than the list has room for below maxHostNum, the sweep keeps the
    // lowest addresses and stops quietly once no probe under way can still
    // displace one. Refused (false) while a sweep runs.
    [[nodiscard]] bool Start(
        const CollectRange& range, const ProbeSettings& probe, std::uint32_t maxHostNum);

    // Asks the sweep to stop probing and returns at once.
    void Stop();

    // Stops the sweep and waits for its thread. That takes at most the
    // probes under way (the timeout, or the ping commands' run) and the
    // lookups of the addresses that answered so far, which run several at a
    // time (a reverse name lookup takes as long as the resolver is set up to
    // wait).
    void StopAndWait();

    // True from Start until the sweep's last notification.
    [[nodiscard]] bool IsRunning() const noexcept { return running_; }

private:
    struct Order {
        CollectRange range;
        ProbeSettings probe;
        std::uint32_t maxHostNum = 0;
    };

    void CollectThread(const Order& order);
    // True when hosts were added.
    bool SweepAddressRange(const Order& order);
    class RangeEvents;

    // Answering addresses (host order) new to the list, with their MACs.
    using FoundMacs = std::map<std::uint32_t, std::string>;

    bool ProbeRange(const Order& order, const ProbeRun& run);
    [[nodiscard]] bool IsListed(std::string_view ipAddr) const;
    [[nodiscard]] std::vector<tHostInfo> FoundHosts(
        const FoundMacs& found, std::uint32_t netMask) const;
    [[nodiscard]] tHostInfo FoundHost(
        std::uint32_t address, const std::string& netMask, const std::string& macAddr) const;

    HostList& hosts_;
    ListLocks& locks_;
    AddressSweepListener& listener_;
    SweepServices services_;

    std::atomic<bool> running_{false};
    std::thread thread_;
};

} // namespace pondel
