#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "ProbeRun.h"
#include "Ipv4Text.h"
#include "WorkServices.h"

namespace pondel::test {

// A network without wires for the window's background work: the addresses
// in `live` answer, with the names and MACs given. A probe can be held at
// one address until the test lets it go, and every probe can be made slow.
// The window's threads use it until the window is gone: declare it before
// the window's fixture.
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
    // When set, readying a probe fails with this message.
    std::optional<std::string> openError;

    // Probes for the monitor and the sweep; 255.255.0.0 for hosts without a
    // netmask; this computer at `localAddress` in a /24.
    WorkServices Services(std::string localAddress = "192.0.2.20")
    {
        WorkServices services;
        const auto open = [this](const ProbeSettings&) -> Result<ProbeRun> {
            const std::scoped_lock lock(mutex_);
            ++opened_;
            if (openError)
                return ErrorInfo{13, *openError};
            return SequentialProbeRun([this](std::string_view ip) { return Probe(ip); });
        };
        services.monitor = MonitorServices{open, [](std::uint32_t) { return 0xFFFF0000u; }};
        services.sweep = SweepServices{open,
            [](std::uint32_t address) -> std::optional<std::string> {
                return "host-" + IpToText(address);
            },
            [this](std::string_view ip) -> std::optional<std::string> {
                const std::scoped_lock lock(mutex_);
                const auto found = macs.find(std::string(ip));
                if (found == macs.end())
                    return std::nullopt;
                return found->second;
            }};
        const std::uint32_t local = TextToIp(localAddress);
        services.local = LocalNetworkQueries{
            [local] { return local; }, [](std::uint32_t) { return 0xFFFFFF00u; }};
        return services;
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
    std::vector<std::string> Probed()
    {
        const std::scoped_lock lock(mutex_);
        return probed_;
    }
    void ClearProbed()
    {
        const std::scoped_lock lock(mutex_);
        probed_.clear();
    }
    int Opened()
    {
        const std::scoped_lock lock(mutex_);
        return opened_;
    }

private:
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
    std::vector<std::string> probed_;
    std::string holdAt_;
    bool held_ = false;
    int opened_ = 0;
};

} // namespace pondel::test
