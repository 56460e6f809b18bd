// Every path of a console wake-up in a lab: this namespace is the tool's,
// with one veth into a host namespace on 198.51.100.0/24 (side A, where the
// host is) and one into another on 203.0.113.0/24 (side B). Each side
// listens on ports 7 and 9, for IPv6 on port 7, and for frames of type
// 0x0842; every row says what each listener must get, and nothing else may
// arrive anywhere.
#include <algorithm>
#include <map>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "ConsoleProgram.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;
using Arguments = std::vector<std::string>;

constexpr std::uint16_t kWakeEtherType = 0x0842;
const std::string kHostMac = "02:00:00:00:0A:02";
constexpr const char* kBroadcastFrame = "ff:ff:ff:ff:ff:ff";

std::vector<std::uint8_t> Payload(const std::vector<std::uint8_t>& tail = {})
{
    std::vector<std::uint8_t> payload(6, 0xFF);
    for (int i = 0; i < 16; ++i)
        payload.insert(payload.end(), {0x02, 0x00, 0x00, 0x00, 0x0A, 0x02});
    payload.insert(payload.end(), tail.begin(), tail.end());
    return payload;
}

class WakePathsTest : public testing::Test {
protected:
    void SetUp() override
    {
        network_.SkipIpv6Dad();
        const auto& a = network_.AddPeer(
            {"198.51.100.1", 24, "02:00:00:00:0A:01"}, {"198.51.100.20", 24, kHostMac});
        const auto& b = network_.AddPeer(
            {"203.0.113.1", 24, "02:00:00:00:0B:01"}, {"203.0.113.20", 24, "02:00:00:00:0B:02"});
        interfaces_ = {{"{A}", a.localIf}, {"{B}", b.localIf}};
        // The host sleeps: it answers no address resolution, so a unicast
        // datagram leaves only by a neighbour entry made for it. Our side
        // gives up asking after one request.
        test::WriteSysctl(a.ns, "net/ipv4/conf/" + a.peerIf + "/arp_ignore", "8");
        for (const auto& [key, value] :
            {std::pair{"mcast_solicit", "1"}, {"ucast_solicit", "0"}, {"retrans_time_ms", "100"}})
            test::WriteSysctl("", "net/ipv4/neigh/" + a.localIf + "/" + key, value);

        for (const auto& [side, peer] : {std::pair{'A', &a}, {'B', &b}}) {
            const std::string name(1, side);
            sinks_[name + "7"] = std::make_unique<test::DatagramSink>(peer->ns, 7);
            sinks_[name + "9"] = std::make_unique<test::DatagramSink>(peer->ns, 9);
            sinks_[name + "6"] = std::make_unique<test::DatagramSink>(peer->ns, 7, AF_INET6);
            sinks_[name + "raw"] =
                std::make_unique<test::DatagramSink>(peer->ns, peer->peerIf, kWakeEtherType);
        }
        WriteTextFile(program_.SettingsFile(),
            "[HOST_0]\r\nHOST_NAME=pcA\r\nIP_ADDR=198.51.100.20\r\n"
            "NET_MASK=255.255.255.0\r\nMAC_ADDR=" +
                kHostMac + "\r\n");
    }

    // The text with the interface placeholders filled in.
    std::string Filled(std::string text) const
    {
        for (const auto& [placeholder, name] : interfaces_)
            for (std::size_t at; (at = text.find(placeholder)) != std::string::npos;)
                text.replace(at, placeholder.size(), name);
        return text;
    }

    // Everything that arrived, by listener.
    std::map<std::string, std::vector<test::Datagram>> Collect()
    {
        // Delivery over veth is done long before this.
        std::this_thread::sleep_for(150ms);
        std::map<std::string, std::vector<test::Datagram>> arrived;
        for (const auto& [name, sink] : sinks_)
            if (auto all = sink->ReceiveAll(0ms, 0ms); !all.empty())
                arrived[name] = std::move(all);
        return arrived;
    }

    test::TestNetwork network_;
    std::map<std::string, std::string> interfaces_;
    std::map<std::string, std::unique_ptr<test::DatagramSink>> sinks_;
    const test::ConsoleProgram program_;
};

TEST_F(WakePathsTest, EachPathArrivesWhereItShould)
{
    const std::vector<std::uint8_t> secureOn{0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
    const Arguments elsewhere{"/C", "/I", "192.0.2.50", "/N", "255.255.255.0", "/M", kHostMac};
    const struct {
        const char* what;
        Arguments arguments;
        bool unprivileged;
        // listener -> the destinations of what it gets, in order
        std::map<std::string, std::vector<std::string>> arrivals;
        std::vector<std::string> output; // lines it must print, in order; the last is the summary
        bool exactOutput = false;
        std::vector<std::uint8_t> tail{};
    } rows[] = {
        {"the default: the one datagram of old, and nothing printed", {"/C", "/H", "pcA"}, false,
            {{"A7", {"198.51.100.255"}}}, {}, true},
        {"every path, out of side A only; the unicast by a temporary entry",
            {"/C", "/H", "pcA", "/A"}, false,
            {{"A7", {"198.51.100.255", "255.255.255.255", "198.51.100.20"}}, {"A6", {"ff02::1"}},
                {"Araw", {kBroadcastFrame}}},
            {"directed 198.51.100.255 7 - 102 sent", "limited 255.255.255.255 7 {A} 102 sent",
                "unicast 198.51.100.20 7 - 102 sent", "ipv6 ff02::1 7 {A} 102 sent",
                "raw FF:FF:FF:FF:FF:FF - {A} 102 sent", "5 packets on 5 paths"},
            true},
        {"unprivileged: no frame, the unicast told as dropped, the others sent",
            {"/C", "/H", "pcA", "/A"}, true,
            {{"A7", {"198.51.100.255", "255.255.255.255"}}, {"A6", {"ff02::1"}}},
            {"unicast 198.51.100.20 7 - 102 not-delivered: the host did not answer address "
             "resolution and no neighbour entry could be added (Operation not permitted)",
                "raw FF:FF:FF:FF:FF:FF - {A} 102 skipped: Operation not permitted",
                "3 packets on 3 paths, 1 skipped, 1 not delivered"}},
        {"an interface named: the interface paths leave by side B",
            {"/C", "/H", "pcA", "/A", "/E", "{B}"}, false,
            {{"A7", {"198.51.100.255", "198.51.100.20"}}, {"B7", {"255.255.255.255"}},
                {"B6", {"ff02::1"}}, {"Braw", {kBroadcastFrame}}},
            {"5 packets on 5 paths"}},
        {"a host on no network of ours: the interface paths leave by both sides",
            [&] {
                Arguments arguments = elsewhere;
                arguments.push_back("/A");
                return arguments;
            }(),
            false,
            {{"A7", {"255.255.255.255"}}, {"B7", {"255.255.255.255"}}, {"A6", {"ff02::1"}},
                {"B6", {"ff02::1"}}, {"Araw", {kBroadcastFrame}}, {"Braw", {kBroadcastFrame}}},
            {"directed 192.0.2.255 7 - 102 failed: Network is unreachable",
                "unicast 192.0.2.50 7 - 102 failed: Network is unreachable",
                "6 packets on 3 paths, 2 failed"}},
        {"ports, rounds and a SecureOn password",
            {"/C", "/H", "pcA", "/P", "7,9", "/R", "3", "/S", "01-02-03-04-05-06"}, false,
            {{"A7", {"198.51.100.255", "198.51.100.255", "198.51.100.255"}},
                {"A9", {"198.51.100.255", "198.51.100.255", "198.51.100.255"}}},
            {"directed 198.51.100.255 7 - 108 sent", "directed 198.51.100.255 9 - 108 sent",
                "6 packets on 1 path"},
            false, secureOn},
        {"a dry run: every line, nothing sent", {"/C", "/H", "pcA", "/A", "/D", "/R", "2"}, false,
            {},
            {"directed 198.51.100.255 7 - 102", "limited 255.255.255.255 7 {A} 102",
                "unicast 198.51.100.20 7 - 102", "ipv6 ff02::1 7 {A} 102",
                "raw FF:FF:FF:FF:FF:FF - {A} 102", "directed 198.51.100.255 7 - 102",
                "limited 255.255.255.255 7 {A} 102", "unicast 198.51.100.20 7 - 102",
                "ipv6 ff02::1 7 {A} 102", "raw FF:FF:FF:FF:FF:FF - {A} 102"},
            true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Arguments arguments;
        for (const std::string& argument : row.arguments)
            arguments.push_back(Filled(argument));
        const test::RunResult result =
            row.unprivileged ? program_.RunUnprivileged(arguments) : program_.Run(arguments);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.errorOutput, "");

        // The lines to find, in order; with exactOutput, nothing else.
        std::string expected;
        for (const std::string& line : row.output)
            expected += Filled(line) + "\n";
        if (row.exactOutput) {
            EXPECT_EQ(result.output, expected);
        } else {
            std::size_t from = 0;
            for (const std::string& line : row.output) {
                from = result.output.find(Filled(line) + "\n", from);
                EXPECT_NE(from, std::string::npos) << Filled(line) << "\n" << result.output;
            }
            EXPECT_TRUE(result.output.ends_with(Filled(row.output.back()) + "\n"));
        }

        const auto arrived = Collect();
        for (const auto& [name, datagrams] : arrived) {
            std::vector<std::string> destinations;
            for (const test::Datagram& datagram : datagrams) {
                destinations.push_back(datagram.destinationIp);
                EXPECT_EQ(datagram.payload, Payload(row.tail)) << name;
            }
            const auto wanted = row.arrivals.find(name);
            EXPECT_EQ(destinations,
                wanted != row.arrivals.end() ? wanted->second : std::vector<std::string>{})
                << name;
            // Rounds come at the interval of 100 ms.
            for (std::size_t i = 1; i < datagrams.size(); ++i) {
                if (datagrams[i].destinationIp == datagrams[i - 1].destinationIp) {
                    EXPECT_GE(datagrams[i].arrival - datagrams[i - 1].arrival, 90ms) << name;
                }
            }
        }
        for (const auto& [name, destinations] : row.arrivals)
            EXPECT_TRUE(arrived.contains(name)) << name << " got nothing";
    }
}

} // namespace
} // namespace pondel
