// Woken machines watched until they answer, against simulated sleeping
// machines in namespace networks.
#include "WakeWatcher.h"

#include <condition_variable>
#include <map>
#include <mutex>

#include <gtest/gtest.h>

#include "MagicPacket.h"
#include "SleepingMachine.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr MacAddress kMachineMac{0x02, 0x00, 0x00, 0x00, 0x0B, 0x02};

struct Ending {
    WakeWatchEnd end = WakeWatchEnd::kNoAnswer;
    std::uint32_t seconds = 0;
    Clock::time_point at;
};

class Listener final : public WakeWatchListener {
public:
    void OnWakeTick(const WakeWatchKey& key, std::uint32_t seconds) override
    {
        const std::scoped_lock lock(mutex_);
        ticks_[key] = seconds;
    }
    void OnWakeEnded(const WakeWatchKey& key, WakeWatchEnd end, std::uint32_t seconds) override
    {
        const std::scoped_lock lock(mutex_);
        endings_[key] = {end, seconds, Clock::now()};
        changed_.notify_all();
    }
    std::optional<Ending> WaitForEnd(const WakeWatchKey& key, std::chrono::seconds wait)
    {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, wait, [&] { return endings_.contains(key); }))
            return std::nullopt;
        return endings_[key];
    }
    std::uint32_t LastTick(const WakeWatchKey& key)
    {
        const std::scoped_lock lock(mutex_);
        return ticks_[key];
    }
    bool Ended(const WakeWatchKey& key)
    {
        const std::scoped_lock lock(mutex_);
        return endings_.contains(key);
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<WakeWatchKey, std::uint32_t> ticks_;
    std::map<WakeWatchKey, Ending> endings_;
};

WakeWatchSettings QuickSettings(std::chrono::seconds timeout, std::chrono::seconds resend = {})
{
    return {{200, ProbeMethod::kOwnEcho, 0, true}, 300ms, timeout, resend};
}

void SendWake(const MacAddress& mac)
{
    const MagicPacketOutcome sent =
        SendMagicPacket("198.51.100.2", "255.255.255.0", FormatMacAddress(mac), true, 9);
    ASSERT_EQ(sent.status, kMagicPacketSent);
}

// Each machine boots 1.5 s after the packet that reaches it. It is up
// within one interval and one probe of its address appearing; a packet with
// another MAC, or one lost with no resend, leaves it asleep; a machine whose
// MAC is not the row's is not the woken host, although it answers.
TEST(WakeWatcherTest, AWokenMachineIsSeenUpOnceItsAddressAppears)
{
    const struct {
        const char* name;
        MacAddress sentMac;
        int packetsToMiss;
        std::chrono::seconds resend;
        WakeWatchEnd end;
        WakeWatchKey key = "pc"; // a key without a MAC is not checked
    } cases[] = {
        {"boots", kMachineMac, 0, 0s, WakeWatchEnd::kUp},
        {"another MAC", {0x02, 0, 0, 0, 0x0B, 0x99}, 0, 0s, WakeWatchEnd::kNoAnswer},
        {"first packet lost, resent", kMachineMac, 1, 1s, WakeWatchEnd::kUp},
        {"first packet lost, not resent", kMachineMac, 1, 0s, WakeWatchEnd::kNoAnswer},
        {"boots, but another machine than the row's", kMachineMac, 0, 0s, WakeWatchEnd::kNoAnswer,
            WakeWatchKeyOf("198.51.100.2", "02:00:00:00:0B:77")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestNetwork network;
        const test::Peer& peer =
            network.AddPeer({"198.51.100.1", 24, "02:00:00:00:0b:01"}, {"198.51.100.200", 24, ""});
        test::QuickNeighbourProbes(peer);
        test::SleepingMachine machine(
            peer, "198.51.100.2/24", kMachineMac, 1500ms, c.packetsToMiss);

        Listener listener;
        WakeWatcher watcher(listener);
        watcher.SetSettings(QuickSettings(3s, c.resend));
        SendWake(c.sentMac);
        watcher.Watch(c.key, "198.51.100.2", [&](std::stop_token) { SendWake(c.sentMac); });

        const std::optional<Ending> ending = listener.WaitForEnd(c.key, 10s);
        ASSERT_TRUE(ending.has_value());
        EXPECT_EQ(ending->end, c.end);
        EXPECT_FALSE(watcher.IsWatching(c.key));
        if (c.end == WakeWatchEnd::kNoAnswer) {
            EXPECT_EQ(ending->seconds, 3u);
            EXPECT_EQ(listener.LastTick(c.key), 2u);
            continue;
        }
        const auto awoke = machine.AwokeAt();
        ASSERT_TRUE(awoke.has_value());
        EXPECT_LE(ending->at - *awoke, 300ms + 200ms + 150ms);
        EXPECT_GE(ending->seconds, 1u);
        EXPECT_EQ(machine.PacketsForIt(), c.packetsToMiss + 1);
    }
}

// Stop ends the watching of hosts that never answer within one probe, and a
// forgotten host brings no news.
TEST(WakeWatcherTest, StopAndForgetEndWatchingAtOnce)
{
    test::TestNetwork network;
    network.AddPeer({"198.51.100.1", 24, ""}, {"198.51.100.200", 24, ""});
    Listener listener;
    WakeWatcher watcher(listener);
    watcher.SetSettings({{500, ProbeMethod::kOwnEcho, 0}, 100ms, 60s, {}});
    for (const char* ip : {"198.51.100.2", "198.51.100.3", "198.51.100.4"})
        watcher.Watch(ip, ip);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(watcher.Forget("198.51.100.3"), 0u);
    EXPECT_FALSE(watcher.Forget("198.51.100.3").has_value());

    const Clock::time_point stopping = Clock::now();
    watcher.Stop();
    EXPECT_LE(Clock::now() - stopping, 500ms + 200ms);
    EXPECT_FALSE(watcher.IsWatching("198.51.100.2"));
    EXPECT_FALSE(listener.Ended("198.51.100.2") || listener.Ended("198.51.100.3"));
}

} // namespace
} // namespace pondel
