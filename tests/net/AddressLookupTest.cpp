#include "AddressLookup.h"

#include <algorithm>
#include <cerrno>
#include <functional>
#include <chrono>

#include <sys/socket.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Ipv4Text.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;
using test::DatagramSink;
using test::MustRun;
using test::RunInNamespace;
using test::TestNetwork;
using testing::ElementsAre;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kMask24 = 0xFFFFFF00u;
constexpr std::uint16_t kPokePort = 9;

std::uint32_t Ip(const char* text)
{
    return TextToIp(text);
}

template <typename Fn>
auto Timed(Fn fn, std::chrono::milliseconds& elapsed)
{
    const auto start = Clock::now();
    auto result = fn();
    elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    return result;
}

// Our side: a veth with 198.51.100.1/24 to a peer at 198.51.100.20. Around it
// the cases that must not count: loopback, a deprecated address and an
// interface that is down; and a link without ARP, whose addresses count but
// whose neighbours cannot be asked.
class AddressLookupTest : public testing::Test {
protected:
    void SetUp() override
    {
        peer_ = network_.AddPeer(
            {"198.51.100.1", 24, "02:00:00:00:0a:01"}, {"198.51.100.20", 24, "02:00:00:00:0a:02"});
        // Same subnet again: the kernel marks it secondary.
        MustRun({"ip", "addr", "add", "198.51.100.8/24", "dev", peer_.localIf});
        MustRun(
            {"ip", "addr", "add", "198.51.100.9/24", "dev", peer_.localIf, "preferred_lft", "0"});

        // A veth pair is created down, and this one is never raised.
        MustRun({"ip", "link", "add", down_, "type", "veth", "peer", "name", down_ + "b"});
        MustRun({"ip", "addr", "add", "192.0.2.1/28", "dev", down_});

        const auto& noArp = network_.AddPeer(
            {"192.0.2.129", 25, "02:00:00:00:0b:01"}, {"192.0.2.130", 25, "02:00:00:00:0b:02"});
        MustRun({"ip", "link", "set", noArp.localIf, "arp", "off"});
    }

    void TearDown() override { test::RunProgram({"ip", "link", "del", down_}); }

    TestNetwork network_;
    test::Peer peer_;
    std::string down_ = "pdown" + std::to_string(getpid() % 100000);
};

TEST_F(AddressLookupTest, AdapterAddressesSkipLoopbackTransientAndDownInterfaces)
{
    EXPECT_THAT(GetLocalAdapterAddresses(),
        ElementsAre(Ip("198.51.100.1"), Ip("198.51.100.8"), Ip("192.0.2.129")));

    EXPECT_EQ(GetLocalAdapterMac("198.51.100.1"), "02:00:00:00:0A:01");
    EXPECT_EQ(GetLocalAdapterMac("198.51.100.8"), "02:00:00:00:0A:01");
    EXPECT_EQ(GetLocalAdapterMac("192.0.2.129"), "02:00:00:00:0B:01");
    EXPECT_EQ(GetLocalAdapterMac("198.51.100.9"), std::nullopt);
    EXPECT_EQ(GetLocalAdapterMac("192.0.2.1"), std::nullopt);
    EXPECT_EQ(GetLocalAdapterMac("127.0.0.1"), std::nullopt);
    // The text is compared as it stands.
    EXPECT_EQ(GetLocalAdapterMac("198.51.100.01"), std::nullopt);
}

TEST_F(AddressLookupTest, OwnAddressGivesAdapterMacWithoutSendingAnything)
{
    // With IPv4 sockets refused, the only way to make the kernel ask the
    // link is closed: an answer proves that none was needed.
    const int found = test::RunWithSocketsDenied(
        [] {
            return GetMacAddress("198.51.100.1") == "02:00:00:00:0A:01" &&
                GetMacAddress("198.51.25601") == "02:00:00:00:0A:01" && // short form of .1
                GetMacAddress("198.51.100.8") == "02:00:00:00:0A:01";
        },
        AF_INET);
    EXPECT_EQ(found, 1);
}

TEST_F(AddressLookupTest, PeerMacComesBackByResolutionEvenForAnUnprivilegedUser)
{
    std::chrono::milliseconds elapsed{};
    const auto asNobody = [] {
        return test::RunAsUser(
            65534, [] { return GetMacAddress("198.51.100.20") == "02:00:00:00:0A:02" ? 1 : 0; });
    };
    EXPECT_EQ(Timed(asNobody, elapsed), 1);
    EXPECT_LT(elapsed, kMacLookupWait); // answered, not timed out
    // Now the neighbour table knows it.
    EXPECT_EQ(GetMacAddress("198.51.100.20"), "02:00:00:00:0A:02");
}

TEST_F(AddressLookupTest, AddressesOffTheLinkGiveNoneAtOnceAndSendNothing)
{
    // The peer owns addresses it can only be reached at through a gateway;
    // a datagram sent there would arrive at the sink.
    TestNetwork::RunIn(peer_.ns, {"addr", "add", "192.0.2.50/32", "dev", "lo"});
    TestNetwork::RunIn(peer_.ns, {"addr", "add", "198.51.100.200/32", "dev", "lo"});
    MustRun({"ip", "route", "add", "192.0.2.48/28", "via", "198.51.100.20"});
    // Inside our subnet by the adapter's mask, yet routed through the peer.
    MustRun({"ip", "route", "add", "198.51.100.192/26", "via", "198.51.100.20"});
    DatagramSink sink(peer_.ns, kPokePort);

    for (const char* target :
        {"192.0.2.50", "198.51.100.200", "198.51.100.255", "255.255.255.255", "224.0.0.1",
            "127.0.0.1", "192.0.2.2", "192.0.2.130", "192.0.2.131", "not an address"}) {
        std::chrono::milliseconds elapsed{};
        EXPECT_EQ(Timed([target] { return GetMacAddress(target); }, elapsed), std::nullopt)
            << target;
        EXPECT_LT(elapsed, 1000ms) << target; // far below any wait for an answer
    }
    EXPECT_FALSE(sink.Receive(200ms).has_value());
}

TEST_F(AddressLookupTest, SilentAddressOnTheSubnetGivesNoneWithinTheWait)
{
    std::chrono::milliseconds elapsed{};
    EXPECT_EQ(Timed([] { return GetMacAddress("198.51.100.99"); }, elapsed), std::nullopt);
    EXPECT_GE(elapsed, 1000ms);
    EXPECT_LE(elapsed, kMacLookupWait + 2000ms);
}

TEST_F(AddressLookupTest, NetMaskComesFromTheAddressTable)
{
    EXPECT_EQ(GetNetMask(Ip("198.51.100.1")), kMask24);
    // The table holds every address, whatever the interface's state.
    EXPECT_EQ(GetNetMask(Ip("192.0.2.1")), 0xFFFFFFF0u);
    EXPECT_EQ(GetNetMask(Ip("127.0.0.1")), 0xFF000000u);
    // Not ours: the row of our own address (the host name resolves to
    // loopback here, so that is the first adapter address).
    EXPECT_EQ(GetNetMask(Ip("10.20.30.40")), kMask24);
}

TEST_F(AddressLookupTest, NetMaskFallsBackToTheClassWhenTheTableCannotBeRead)
{
    const int masks = test::RunWithSocketsDenied([] {
        return GetNetMask(Ip("198.51.100.1")) == kMask24 &&
            GetNetMask(Ip("10.20.30.40")) == 0xFF000000u &&
            GetNetMask(Ip("172.16.1.1")) == 0xFFFF0000u;
    });
    EXPECT_EQ(masks, 1);
}

// Where there is no own address, the user is told why: the system's reason
// when the adapters cannot be read, else that none qualifies.
TEST_F(AddressLookupTest, NoOwnAddressComesWithItsReason)
{
    const struct {
        const char* name;
        std::function<int(const std::function<int()>&)> run;
        int code;
        const char* text;
    } cases[] = {
        {"sockets denied", [](const auto& fn) { return test::RunWithSocketsDenied(fn); }, EACCES,
            "The network configuration cannot be read: socket: Permission denied"},
        {"only loopback",
            [](const auto& fn) {
                TestNetwork network;
                const std::string loopbackOnly = network.AddEmptyNamespace();
                TestNetwork::RunIn(loopbackOnly, {"link", "set", "lo", "up"});
                return RunInNamespace(loopbackOnly, fn);
            },
            0, "This computer has no network adapter that is up and has an IPv4 address."},
    };
    for (const auto& c : cases) {
        const int told = c.run([&c] {
            const Result<std::uint32_t> address = FindLocalHostAddress();
            return !address && address.Error().code == c.code && address.Error().message == c.text;
        });
        EXPECT_EQ(told, 1) << c.name;
    }
}

TEST_F(AddressLookupTest, LocalNetworkTestAppliesTheTargetsMaskToBothSides)
{
    EXPECT_TRUE(IsOnLocalNetwork(Ip("198.51.100.77"), kMask24));
    EXPECT_FALSE(IsOnLocalNetwork(Ip("198.51.101.77"), kMask24));
    EXPECT_TRUE(IsOnLocalNetwork(Ip("198.51.101.77"), 0xFFFF0000u));
    // The /25 of the link without ARP does not narrow a /24 target.
    EXPECT_TRUE(IsOnLocalNetwork(Ip("192.0.2.5"), kMask24));
    EXPECT_FALSE(IsOnLocalNetwork(Ip("127.0.0.5"), 0xFF000000u));
    // Only the deprecated address would match this.
    EXPECT_FALSE(IsOnLocalNetwork(Ip("198.51.100.9"), 0xFFFFFFFFu));
}

TEST_F(AddressLookupTest, HostAddressBelievesTheResolverOnlyForAnAddressWeOwn)
{
    EXPECT_EQ(GetLocalHostAddress(), Ip("198.51.100.1"));

    const auto hostAddressWith = [](const std::string& hosts) {
        return static_cast<std::uint32_t>(test::RunWithHostName(
            "pondel-test", hosts, [] { return static_cast<int>(GetLocalHostAddress()); }));
    };
    EXPECT_EQ(hostAddressWith("198.51.100.8 pondel-test\n"), Ip("198.51.100.8"));
    EXPECT_EQ(
        hostAddressWith("127.0.1.1 pondel-test\n198.51.100.8 pondel-test\n"), Ip("198.51.100.1"));
    EXPECT_EQ(hostAddressWith("203.0.113.77 pondel-test\n"), Ip("198.51.100.1"));
    EXPECT_EQ(hostAddressWith("198.51.100.9 pondel-test\n"), Ip("198.51.100.1"));
    EXPECT_EQ(hostAddressWith("192.0.2.1 pondel-test\n"), Ip("198.51.100.1"));
}

TEST_F(AddressLookupTest, OwnAddressIsOnTheAdapterOfTheDefaultRoute)
{
    const auto& second = network_.AddPeer(
        {"203.0.113.1", 24, "02:00:00:00:0c:01"}, {"203.0.113.20", 24, "02:00:00:00:0c:02"});
    EXPECT_EQ(GetLocalHostAddress(), Ip("198.51.100.1")) << "no default route: the first adapter";

    MustRun({"ip", "route", "add", "default", "via", "203.0.113.20", "dev", second.localIf});
    EXPECT_EQ(GetLocalHostAddress(), Ip("203.0.113.1"));

    // Of two default routes the one of lower metric counts.
    MustRun({"ip", "route", "del", "default"});
    MustRun({"ip", "route", "add", "default", "via", "198.51.100.20", "metric", "200"});
    MustRun({"ip", "route", "add", "default", "via", "203.0.113.20", "metric", "100"});
    EXPECT_EQ(GetLocalHostAddress(), Ip("203.0.113.1"));
    MustRun({"ip", "route", "del", "default", "via", "203.0.113.20", "metric", "100"});
    EXPECT_EQ(GetLocalHostAddress(), Ip("198.51.100.1"));
    MustRun({"ip", "route", "del", "default"});

    // A default route of another table, or over an adapter that does not
    // qualify, leaves the first adapter.
    MustRun({"ip", "route", "add", "default", "via", "203.0.113.20", "table", "100"});
    EXPECT_EQ(GetLocalHostAddress(), Ip("198.51.100.1"));
    MustRun({"ip", "route", "add", "default", "dev", "lo"});
    EXPECT_EQ(GetLocalHostAddress(), Ip("198.51.100.1"));
    MustRun({"ip", "route", "del", "default", "dev", "lo"});
    MustRun({"ip", "route", "flush", "table", "100"});
}

TEST(AddressLookupAloneTest, WithoutAddressesNothingIsLocalAndMasksGoByClassOrLoopback)
{
    TestNetwork network;
    const std::string empty = network.AddEmptyNamespace();
    // Not even loopback is up: the address table is empty.
    const auto classful = [] {
        return GetNetMask(Ip("192.0.2.1")) == kMask24 &&
            GetNetMask(Ip("10.20.30.40")) == 0xFF000000u &&
            GetNetMask(Ip("172.16.1.1")) == 0xFFFF0000u && GetLocalHostAddress() == 0;
    };
    EXPECT_EQ(RunInNamespace(empty, classful), 1);
    TestNetwork::RunIn(empty, {"link", "set", "lo", "up"});
    const int ok = RunInNamespace(empty, [] {
        return GetLocalHostAddress() == 0 && GetLocalAdapterAddresses().empty() &&
            !IsOnLocalNetwork(Ip("127.0.0.5"), 0xFF000000u) &&
            !IsOnLocalNetwork(Ip("10.1.1.1"), 0) && GetMacAddress("127.0.0.1") == std::nullopt &&
            // No own address either: the first row, loopback's, decides.
            GetNetMask(Ip("192.0.2.1")) == 0xFF000000u;
    });
    EXPECT_EQ(ok, 1);
}

} // namespace
} // namespace pondel
