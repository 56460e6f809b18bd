#include "ParallelPings.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>

namespace pondel {
namespace {

using namespace std::chrono_literals;

// How often the caller's thread looks whether the run should stop.
constexpr auto kStopCheckInterval = 5ms;

class PingCrew final {
public:
    PingCrew(ProbeRunEvents& events, const HostProbe& ping, unsigned width)
        : events_(events)
        , ping_(ping)
        , width_(width == 0 ? 1 : width)
    {
    }

    void Run(std::uint64_t count)
    {
        std::uint64_t next = 0;
        bool stopped = false;
        for (;;) {
            stopped = stopped || events_.ShouldStop();
            while (!stopped && next < count && running_.size() < width_)
                Launch(next++);
            if ((stopped || next >= count) && running_.empty())
                return;
            HandOnVerdicts();
        }
    }

private:
    void Launch(std::uint64_t index)
    {
        std::string target = events_.TargetOf(index);
        events_.OnProbed(index);
        running_.emplace(index, std::thread([this, index, target = std::move(target)] {
            const bool answered = ping_(target);
            const std::scoped_lock lock(mutex_);
            verdicts_.emplace_back(index, answered);
            verdictCame_.notify_one();
        }));
    }

    void HandOnVerdicts()
    {
        std::deque<std::pair<std::uint64_t, bool>> verdicts;
        {
            std::unique_lock lock(mutex_);
            verdictCame_.wait_for(lock, kStopCheckInterval, [&] { return !verdicts_.empty(); });
            verdicts.swap(verdicts_);
        }
        for (const auto& [index, answered] : verdicts) {
            const auto thread = running_.find(index);
            thread->second.join();
            running_.erase(thread);
            events_.OnAnswer(index, answered);
        }
    }

    ProbeRunEvents& events_;
    const HostProbe& ping_;
    const unsigned width_;
    // Touched by the caller's thread only.
    std::unordered_map<std::uint64_t, std::thread> running_;

    std::mutex mutex_;
    std::condition_variable verdictCame_;
    std::deque<std::pair<std::uint64_t, bool>> verdicts_;
};

} // namespace

void RunParallelPings(
    std::uint64_t count, ProbeRunEvents& events, const HostProbe& ping, unsigned width)
{
    PingCrew(events, ping, width).Run(count);
}

} // namespace pondel
