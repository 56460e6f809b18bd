// Asking a whole lab /24 by ARP while only a few requests may wait at one
// time: the answering addresses are spread over the range, the last one at
// its end, and every one of them is found.
#include <chrono>
#include <set>

#include <gtest/gtest.h>

#include "Ipv4Text.h"
#include "NeighbourProbe.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;

constexpr MacAddress kOwnMac{0x02, 0, 0, 0, 0x01, 0x01};
constexpr MacAddress kPeerMac{0x02, 0, 0, 0, 0x01, 0x02};

struct LimitCase {
    const char* what;
    std::size_t inFlightLimit;
};

class NeighbourProbeTest : public testing::TestWithParam<LimitCase> { };

TEST_P(NeighbourProbeTest, FindsEveryAnsweringAddressOnTheLinkAndNothingElse)
{
    test::TestNetwork network;
    const auto& peer = network.AddPeer(
        {"198.51.100.1", 24, "02:00:00:00:01:01"}, {"198.51.100.2", 24, "02:00:00:00:01:02"});
    const std::set<std::string> answering{
        "198.51.100.2", "198.51.100.100", "198.51.100.200", "198.51.100.254"};
    for (const std::string& ip : answering)
        if (ip != "198.51.100.2")
            test::TestNetwork::RunIn(peer.ns, {"addr", "add", ip + "/24", "dev", peer.peerIf});
    // Unanswered entries give up after one request, so that a small limit
    // frees its places quickly.
    test::WriteSysctl("", "net/ipv4/neigh/" + peer.localIf + "/mcast_solicit", "1");
    test::WriteSysctl("", "net/ipv4/neigh/" + peer.localIf + "/retrans_time_ms", "50");
    // An entry written by hand, as for waking a sleeping host, is no answer.
    test::MustRun({"ip", "neigh", "add", "198.51.100.50", "lladdr", "02:00:00:00:01:50", "nud",
        "permanent", "dev", peer.localIf});

    std::vector<std::uint32_t> addresses;
    for (std::uint32_t host = 0; host <= 255; ++host)
        addresses.push_back(TextToIp("198.51.100.0") + host);
    addresses.push_back(TextToIp("192.0.2.5")); // on no link of ours
    const NeighbourProbePlan plan{300ms, 4000, GetParam().inFlightLimit};
    const std::vector<LinkAnswer> answers = ProbeNeighbours(addresses, plan, [] { return false; });

    ASSERT_EQ(answers.size(), addresses.size());
    for (std::size_t i = 0; i < addresses.size(); ++i) {
        const std::string ip = IpToText(addresses[i]);
        const bool networkOrBroadcast = ip == "198.51.100.0" || ip == "198.51.100.255";
        EXPECT_EQ(answers[i].onLink, ip != "192.0.2.5" && !networkOrBroadcast) << ip;
        if (ip == "198.51.100.1")
            EXPECT_EQ(answers[i].mac, kOwnMac) << ip;
        else if (answering.contains(ip))
            EXPECT_EQ(answers[i].mac, kPeerMac) << ip;
        else
            EXPECT_FALSE(answers[i].mac) << ip;
    }
}

INSTANTIATE_TEST_SUITE_P(Limits, NeighbourProbeTest,
    testing::Values(LimitCase{"SystemLimit", 0}, LimitCase{"EightAtATime", 8}),
    [](const auto& param) { return std::string(param.param.what); });

} // namespace
} // namespace pondel
