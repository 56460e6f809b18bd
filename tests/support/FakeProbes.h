#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "AddressSweep.h"
#include "Ipv4Text.h"
#include "ProbeRun.h"
#include "StatusMonitor.h"

namespace pondel::test {

using Events = std::vector<std::string>;

// Notifications of a worker thread as lines of text, in the order they came.
class EventLog {
public:
    void Add(std::string event, bool ends = false)
    {
        const std::scoped_lock lock(mutex_);
        events_.push_back(std::move(event));
        ends_ += ends ? 1 : 0;
        changed_.notify_all();
    }
    // Waits until `count` events that end a run have come.
    bool WaitForEnds(int count, std::chrono::seconds wait = std::chrono::seconds(10))
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, wait, [&] { return ends_ >= count; });
    }
    Events Take()
    {
        const std::scoped_lock lock(mutex_);
        return std::exchange(events_, {});
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    Events events_;
    int ends_ = 0;
};

// A network without wires: the addresses in `live` answer, with the MACs
// given. A probe can be held at one address until the test lets it go, and
// every probe can be made slow. Threads probe through it until their work is
// gone: declare it before what starts them.
class FakeProbes final {
public:
    explicit FakeProbes(std::set<std::string> live, std::chrono::milliseconds probeTime = {})
        : live_(std::move(live))
        , probeTime_(probeTime)
    {
    }
    ~FakeProbes() { Release(); }
    FakeProbes(const FakeProbes&) = delete;
    FakeProbes& operator=(const FakeProbes&) = delete;

    std::map<std::string, std::string> macs;
    // When not empty, runs also ask "the link": these addresses answer ARP
    // with these MACs, the others do not.
    std::map<std::string, std::string> linkMacs;
    // When set, readying a probe fails with this message.
    std::optional<std::string> openError;

    ProbeRunOpener Opener()
    {
        return [this](const ProbeSettings&) -> Result<ProbeRun> {
            const std::scoped_lock lock(mutex_);
            ++opened_;
            if (openError)
                return ErrorInfo{13, *openError};
            if (!linkMacs.empty())
                return LinkRun();
            return SequentialProbeRun([this](std::string_view ip) { return Probe(ip); });
        };
    }
    // Status passes over these probes; hosts without a netmask are taken to
    // be in a /16.
    MonitorServices Monitor()
    {
        return MonitorServices{Opener(), [](std::uint32_t) { return 0xFFFF0000u; }, {}};
    }
    // Sweeps over them: "host-" and the address for every name, and the MACs
    // of `macs`.
    SweepServices Sweep()
    {
        return SweepServices{Opener(),
            [](std::uint32_t address) -> std::optional<std::string> {
                return "host-" + IpToText(address);
            },
            [this](std::string_view ip) { return MacOf(ip); }};
    }
    std::optional<std::string> MacOf(std::string_view ip)
    {
        const std::scoped_lock lock(mutex_);
        const auto found = macs.find(std::string(ip));
        if (found == macs.end())
            return std::nullopt;
        return found->second;
    }

    void HoldAt(std::string ip)
    {
        const std::scoped_lock lock(mutex_);
        holdAt_ = std::move(ip);
        held_ = false;
    }
    // Waits until the held probe has begun.
    bool WaitUntilHeld()
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return held_; });
    }
    void Release()
    {
        const std::scoped_lock lock(mutex_);
        holdAt_.clear();
        changed_.notify_all();
    }
    void SetLive(std::set<std::string> live)
    {
        const std::scoped_lock lock(mutex_);
        live_ = std::move(live);
    }
    Events Probed()
    {
        const std::scoped_lock lock(mutex_);
        return probed_;
    }
    int Opened()
    {
        const std::scoped_lock lock(mutex_);
        return opened_;
    }

private:
    ProbeRun LinkRun()
    {
        return [this](std::uint64_t count, ProbeRunEvents& events) {
            for (std::uint64_t index = 0; index < count && !events.ShouldStop(); ++index) {
                const std::string target = events.TargetOf(index);
                events.OnProbed(index);
                const bool echoed = Probe(target);
                LinkAnswer link;
                MacAddress mac{};
                const auto found = linkMacs.find(target);
                if (found != linkMacs.end() && ParseMacAddress(found->second, mac) == 0)
                    link = {true, mac};
                events.OnLinkAnswer(index, echoed, link);
            }
        };
    }

    bool Probe(std::string_view ip)
    {
        std::unique_lock lock(mutex_);
        probed_.emplace_back(ip);
        if (!holdAt_.empty() && ip == holdAt_) {
            held_ = true;
            changed_.notify_all();
            changed_.wait(lock, [&] { return holdAt_.empty(); });
        }
        const bool live = live_.count(std::string(ip)) != 0;
        lock.unlock();
        std::this_thread::sleep_for(probeTime_);
        return live;
    }

    std::set<std::string> live_;
    std::chrono::milliseconds probeTime_;
    std::mutex mutex_;
    std::condition_variable changed_;
    Events probed_;
    std::string holdAt_;
    bool held_ = false;
    int opened_ = 0;
};

} // namespace pondel::test
