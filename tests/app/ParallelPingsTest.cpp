#include "ParallelPings.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace pondel {
namespace {

using namespace std::chrono_literals;

// Counts how many pings run at once; ".7" addresses answer. Each ping
// lasts until `awaited` have run at once (or a few seconds have passed), so
// that slow thread starts cannot hide a run that is too narrow or too wide.
class FakePing final {
public:
    explicit FakePing(int awaited)
        : awaited_(awaited)
    {
    }

    HostProbe Probe()
    {
        return [this](std::string_view ip) {
            const int now = ++running_;
            int peak = peak_.load();
            while (now > peak && !peak_.compare_exchange_weak(peak, now)) { }
            const auto giveUp = std::chrono::steady_clock::now() + 5s;
            while (peak_.load() < awaited_ && std::chrono::steady_clock::now() < giveUp)
                std::this_thread::sleep_for(1ms);
            --running_;
            return ip.back() == '7';
        };
    }
    int Peak() const { return peak_; }

private:
    const int awaited_;
    std::atomic<int> running_{0};
    std::atomic<int> peak_{0};
};

class Recorder final : public ProbeRunEvents {
public:
    std::string TargetOf(std::uint64_t index) override
    {
        CheckThread();
        return "192.0.2." + std::to_string(index);
    }
    bool ShouldStop() override
    {
        CheckThread();
        return stopAfter && probed.size() >= *stopAfter;
    }
    void OnProbed(std::uint64_t index) override
    {
        CheckThread();
        probed.push_back(index);
    }
    void OnAnswer(std::uint64_t index, bool isAnswered) override
    {
        CheckThread();
        ++verdicts[index];
        if (isAnswered)
            answered.insert(index);
    }

    std::optional<std::size_t> stopAfter;
    std::vector<std::uint64_t> probed;
    std::map<std::uint64_t, int> verdicts;
    std::set<std::uint64_t> answered;
    bool otherThread = false;

private:
    void CheckThread() { otherThread = otherThread || std::this_thread::get_id() != caller_; }
    std::thread::id caller_ = std::this_thread::get_id();
};

TEST(ParallelPingsTest, RunsUpToTheWidthAtOnceAndJudgesEveryTargetOnceOnTheCallersThread)
{
    for (const unsigned width : {1u, 8u, 32u}) {
        SCOPED_TRACE(width);
        FakePing ping(static_cast<int>(width));
        Recorder recorder;
        RunParallelPings(64, recorder, ping.Probe(), width);
        EXPECT_EQ(ping.Peak(), static_cast<int>(std::min(width, 64u)));
        ASSERT_EQ(recorder.probed.size(), 64u);
        for (std::uint64_t i = 0; i < 64; ++i) {
            EXPECT_EQ(recorder.probed[i], i);
            EXPECT_EQ(recorder.verdicts[i], 1);
        }
        EXPECT_EQ(recorder.answered, (std::set<std::uint64_t>{7, 17, 27, 37, 47, 57}));
        EXPECT_FALSE(recorder.otherThread);
    }
}

TEST(ParallelPingsTest, AStopLaunchesNothingMoreButJudgesThePingsUnderWay)
{
    FakePing ping(4);
    Recorder recorder;
    recorder.stopAfter = 10;
    RunParallelPings(1000, recorder, ping.Probe(), 4);
    EXPECT_GE(recorder.probed.size(), 10u);
    EXPECT_LE(recorder.probed.size(), 13u);
    EXPECT_EQ(recorder.verdicts.size(), recorder.probed.size());
    EXPECT_EQ(ping.Peak(), 4);
}

} // namespace
} // namespace pondel
