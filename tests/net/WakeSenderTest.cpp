// The wake sender as the window calls it, off its own thread: a stop ends
// the wake-up between rounds, and a plan names what cannot be taken.
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "TestNetwork.h"
#include "WakeSender.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;

TEST(WakeSenderTest, AStopEndsTheWakeUpBetweenRounds)
{
    test::TestNetwork network;
    const auto& peer = network.AddPeer({"198.51.100.1", 24, ""}, {"198.51.100.20", 24, ""});
    test::DatagramSink sink(peer.ns, 7);
    WakeRequest request;
    request.ip = 0xC6336414u; // 198.51.100.20
    request.netMask = 0xFFFFFF00u;
    request.paths = PathBit(WakePath::kDirectedBroadcast) | PathBit(WakePath::kUnicast);
    request.repeats = 10;
    request.interval = 10s;

    std::stop_source stop;
    const auto started = std::chrono::steady_clock::now();
    auto wake = std::async(std::launch::async, [&] { return SendWake(request, stop.get_token()); });
    ASSERT_TRUE(sink.Receive(5s).has_value());
    stop.request_stop();
    const WakeReport report = wake.get();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);

    ASSERT_EQ(report.lines.size(), 20u);
    for (const WakeSendLine& line : report.lines)
        EXPECT_EQ(line.state, line.round == 1 ? WakeSendState::kSent : WakeSendState::kPlanned)
            << line.round;
    EXPECT_TRUE(AnySent(report));
    EXPECT_EQ(sink.ReceiveAll(100ms, 100ms).size(), 1u); // the unicast of round 1
}

TEST(WakeSenderTest, AnInterfaceThatIsNotThereSkipsItsPaths)
{
    WakeRequest request;
    request.paths = kExtraWakePaths;
    request.interfaceName = "nosuch0";
    request.secureOn = SecureOnPassword{1, 2, 3, 4, 5, 6};
    const std::vector<WakeSendLine> lines = PlanWake(request);
    ASSERT_EQ(lines.size(), 4u);
    for (const WakeSendLine& line : lines) {
        EXPECT_EQ(line.length, 108u);
        EXPECT_EQ(line.state,
            line.path == WakePath::kUnicast ? WakeSendState::kPlanned : WakeSendState::kSkipped);
        if (line.state == WakeSendState::kSkipped) {
            EXPECT_EQ(line.reason, "there is no interface named nosuch0");
        }
    }
}

} // namespace
} // namespace pondel
