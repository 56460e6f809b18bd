#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ProbeRun.h"

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

// A network without wires: the addresses in `live` answer. A probe can be
// held at one address until the test lets it go.
class FakeProbes final {
public:
    explicit FakeProbes(std::set<std::string> live, std::chrono::milliseconds probeTime = {})
        : live_(std::move(live))
        , probeTime_(probeTime)
    {
    }

    ProbeRunOpener Opener()
    {
        return [this](const ProbeSettings&) -> Result<ProbeRun> {
            return SequentialProbeRun([this](std::string_view ip) { return Probe(ip); });
        };
    }
    void HoldAt(std::string ip)
    {
        const std::scoped_lock lock(mutex_);
        holdAt_ = std::move(ip);
    }
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
    Events Probed()
    {
        const std::scoped_lock lock(mutex_);
        return probed_;
    }

private:
    bool Probe(std::string_view ip)
    {
        std::unique_lock lock(mutex_);
        probed_.emplace_back(ip);
        if (ip == holdAt_) {
            held_ = true;
            changed_.notify_all();
            changed_.wait(lock, [&] { return holdAt_.empty(); });
        }
        lock.unlock();
        std::this_thread::sleep_for(probeTime_);
        return live_.count(std::string(ip)) != 0;
    }

    std::set<std::string> live_;
    std::chrono::milliseconds probeTime_;
    std::mutex mutex_;
    std::condition_variable changed_;
    Events probed_;
    std::string holdAt_;
    bool held_ = false;
};

} // namespace pondel::test
