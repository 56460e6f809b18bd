// The wake listener in a lab: it listens in this namespace, on the side
// 198.51.100.1 of a veth pair, and the wake-ups come from the peer
// 198.51.100.20 through Pondel's own sender, one path at a time.
#include <cerrno>
#include <cstring>
#include <condition_variable>
#include <fstream>
#include <mutex>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TemporaryDirectory.h"
#include "TestNetwork.h"
#include "VendorDirectory.h"
#include "WakeLineBook.h"
#include "WakeListener.h"
#include "WakeSender.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;

const std::string kTargetMac = "02:00:00:00:0A:01"; // this side's own interface
const std::string kPeerMac = "02:00:00:00:0A:02";

MacAddress Mac(const std::string& text)
{
    MacAddress mac{};
    EXPECT_EQ(ParseMacAddress(text, mac), 0) << text;
    return mac;
}

// What the listener told, for the test's thread to wait on.
class Heard final : public WakeListenerEvents {
public:
    void OnWakePacket(const HeardWakePacket& packet) override
    {
        const std::lock_guard lock(mutex_);
        if (packet.line > lines_.size())
            lines_.resize(packet.line);
        lines_[packet.line - 1] = packet;
        changed_.notify_all();
    }
    void OnNotWakePacket(std::uint64_t count) override
    {
        const std::lock_guard lock(mutex_);
        notWake_ = count;
        changed_.notify_all();
    }

    // The lines once `repeats` packets in all and `notWake` others came,
    // and nothing more for a moment after.
    std::vector<HeardWakePacket> Wait(std::uint32_t repeats, std::uint64_t notWake)
    {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, 5s, [&] { return Repeats() >= repeats && notWake_ >= notWake; });
        changed_.wait_for(lock, 200ms, [] { return false; });
        EXPECT_EQ(notWake_, notWake);
        return lines_;
    }

private:
    std::uint32_t Repeats() const
    {
        std::uint32_t sum = 0;
        for (const HeardWakePacket& line : lines_)
            sum += line.repeats;
        return sum;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<HeardWakePacket> lines_;
    std::uint64_t notWake_ = 0;
};

class WakeListenerTest : public testing::Test {
protected:
    void SetUp() override
    {
        network_.SkipIpv6Dad();
        peer_ =
            &network_.AddPeer({"198.51.100.1", 24, kTargetMac}, {"198.51.100.20", 24, kPeerMac});
        std::ofstream(registry_.Path() / "oui.csv")
            << "Registry,Assignment,Organization Name,Organization Address\n"
               "MA-L,020000,Lab Vendor,Somewhere\n";
        vendors_.WaitUntilRead();
    }

    // Sends from the peer's namespace with a socket of its own.
    void SendFromPeer(const std::vector<std::uint8_t>& payload, std::uint16_t port)
    {
        test::RunInNamespace(peer_->ns, [&] {
            const int fd = socket(AF_INET, SOCK_DGRAM, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(port);
            inet_pton(AF_INET, "198.51.100.1", &address.sin_addr);
            EXPECT_EQ(sendto(fd, payload.data(), payload.size(), 0,
                          reinterpret_cast<sockaddr*>(&address), sizeof address),
                static_cast<ssize_t>(payload.size()));
            close(fd);
            return 0;
        });
    }

    test::TestNetwork network_;
    const test::Peer* peer_ = nullptr;
    TemporaryDirectory registry_;
    VendorDirectory vendors_{registry_.Path()};
    const std::vector<ListenedHost> hosts_{{Mac(kTargetMac), "pcA"}, {Mac(kPeerMac), "peer"}};
};

TEST_F(WakeListenerTest, EachPathIsHeardWithWhereItCameFromAndWentTo)
{
    const auto& local = peer_->localIf;
    const struct {
        const char* what;
        WakePathSet paths;
        std::uint16_t port;
        bool secureOn;
        unsigned rounds;
        std::string fromPrefix, to, path;
    } rows[] = {
        {"directed broadcast", PathBit(WakePath::kDirectedBroadcast), 7, false, 1,
            "198.51.100.20:", "198.51.100.255", "UDP 7"},
        {"limited broadcast", PathBit(WakePath::kLimitedBroadcast), 9, false, 1,
            "198.51.100.20:", "255.255.255.255", "UDP 9"},
        {"unicast", PathBit(WakePath::kUnicast), 9, false, 1, "198.51.100.20:", "198.51.100.1",
            "UDP 9"},
        {"IPv6 all nodes", PathBit(WakePath::kIpv6AllNodes), 7, false, 1,
            "[fe80::", "ff02::1%" + local, "UDP 7"},
        {"the raw frame", PathBit(WakePath::kRawFrame), 0, false, 1, kPeerMac, local,
            "EtherType 0x0842"},
        {"SecureOn", PathBit(WakePath::kDirectedBroadcast), 9, true, 1,
            "198.51.100.20:", "198.51.100.255", "UDP 9"},
        {"three rounds, each from a port of its own, are one line",
            PathBit(WakePath::kDirectedBroadcast), 7, false, 3, "198.51.100.20:", "198.51.100.255",
            "UDP 7"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Heard heard;
        WakeListener listener(heard, hosts_, vendors_);
        const auto opened = listener.Start({{7, 9}, true});
        ASSERT_TRUE(opened.Ok()) << opened.Error().message;
        EXPECT_EQ(opened.Value().listening,
            (std::vector<std::string>{"UDP 7 (IPv4)", "UDP 7 (IPv6)", "UDP 9 (IPv4)",
                "UDP 9 (IPv6)", "EtherType 0x0842 frames"}));
        EXPECT_TRUE(opened.Value().failures.empty());

        WakeRequest request;
        request.ip = 0xC6336401u; // 198.51.100.1
        request.netMask = 0xFFFFFF00u;
        request.mac = Mac(kTargetMac);
        request.paths = row.paths;
        request.ports = {row.port};
        request.interfaceName = peer_->peerIf;
        request.repeats = row.rounds;
        if (row.secureOn)
            request.secureOn = SecureOnPassword{1, 2, 3, 4, 5, 6};
        test::RunInNamespace(peer_->ns, [&] { return AnySent(SendWake(request)) ? 0 : 1; });

        const std::vector<HeardWakePacket> lines = heard.Wait(row.rounds, 0);
        ASSERT_EQ(lines.size(), 1u);
        const HeardWakePacket& line = lines[0];
        EXPECT_EQ(line.line, 1u);
        EXPECT_TRUE(line.from.starts_with(row.fromPrefix)) << line.from;
        if (row.paths == PathBit(WakePath::kIpv6AllNodes)) {
            EXPECT_NE(line.from.find("%" + local + "]:"), std::string::npos) << line.from;
        }
        EXPECT_EQ(line.to, row.to);
        EXPECT_EQ(line.path, row.path);
        EXPECT_EQ(line.targetMac, kTargetMac);
        EXPECT_EQ(line.vendor, "Lab Vendor");
        EXPECT_EQ(line.hostName, "pcA");
        EXPECT_EQ(line.secureOn, row.secureOn);
        EXPECT_EQ(line.repeats, row.rounds);
        EXPECT_LT(std::chrono::system_clock::now() - line.time, 10s);
    }
}

std::vector<std::uint8_t> Magic(std::size_t copies, const std::vector<std::uint8_t>& tail = {})
{
    std::vector<std::uint8_t> payload(6, 0xFF);
    for (std::size_t i = 0; i < copies; ++i)
        payload.insert(payload.end(), {0x02, 0x00, 0x00, 0x00, 0x0A, 0x01});
    payload.insert(payload.end(), tail.begin(), tail.end());
    return payload;
}

TEST_F(WakeListenerTest, OtherPacketsAreOnlyCountedAndHostsMayChange)
{
    Heard heard;
    WakeListener listener(heard, hosts_, vendors_);
    ASSERT_TRUE(listener.Start({{9}, false}).Ok());
    // The list was edited while listening.
    listener.SetHosts({{Mac(kTargetMac), "pcA"}, {Mac(kTargetMac), "pcA-2"}});
    std::vector<std::uint8_t> shortOne = Magic(16);
    shortOne.pop_back();
    std::vector<std::uint8_t> wrongCopy = Magic(16);
    wrongCopy[6 + 7 * 6 + 5] ^= 1;
    // Four that are not, and one with a SecureOn password.
    for (const auto& payload : {shortOne, wrongCopy, Magic(17), std::vector<std::uint8_t>{'h', 'i'},
             Magic(16, {1, 2, 3, 4})})
        SendFromPeer(payload, 9);
    const std::vector<HeardWakePacket> lines = heard.Wait(1, 4);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].secureOn);
    EXPECT_EQ(lines[0].hostName, "pcA, pcA-2");
}

TEST_F(WakeListenerTest, WhatCannotBeOpenedIsNamedWithTheWayToAllowIt)
{
    const std::string setcap = "setcap cap_net_bind_service,cap_net_raw+ep ";
    const struct {
        const char* what;
        std::vector<std::uint16_t> ports;
        const char* unprivilegedPortStart;
        std::vector<std::string> listening;
        // what could not be opened -> its error number
        std::vector<std::pair<std::string, int>> failures;
    } rows[] = {
        {"low ports and frames refused, a high port opened", {7, 40009}, "1024",
            {"UDP 40009 (IPv4)", "UDP 40009 (IPv6)"},
            {{"UDP 7 (IPv4)", EACCES}, {"UDP 7 (IPv6)", EACCES},
                {"EtherType 0x0842 frames", EPERM}}},
        {"the system lowers the privileged ports as the hint says", {7}, "7",
            {"UDP 7 (IPv4)", "UDP 7 (IPv6)"}, {{"EtherType 0x0842 frames", EPERM}}},
        {"nothing opened", {7, 9}, "1024", {},
            {{"UDP 7 (IPv4)", EACCES}, {"UDP 7 (IPv6)", EACCES}, {"UDP 9 (IPv4)", EACCES},
                {"UDP 9 (IPv6)", EACCES}, {"EtherType 0x0842 frames", EPERM}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        test::WriteSysctl("", "net/ipv4/ip_unprivileged_port_start", row.unprivilegedPortStart);
        Heard heard;
        WakeListener listener(heard, hosts_, vendors_);
        std::optional<Result<WakeListener::Opened>> opened;
        test::RunAsUser(65534, [&] {
            opened = listener.Start({row.ports, true});
            return 0;
        });
        ASSERT_TRUE(opened.has_value());
        if (row.listening.empty()) {
            ASSERT_FALSE(opened->Ok());
            for (const auto& [what, error] : row.failures)
                EXPECT_NE(opened->Error().message.find("cannot receive on " + what + ": "),
                    std::string::npos)
                    << opened->Error().message;
            EXPECT_NE(opened->Error().message.find(setcap), std::string::npos);
            continue;
        }
        ASSERT_TRUE(opened->Ok()) << opened->Error().message;
        EXPECT_EQ(opened->Value().listening, row.listening);
        const auto& failures = opened->Value().failures;
        ASSERT_EQ(failures.size(), row.failures.size());
        for (std::size_t i = 0; i < failures.size(); ++i) {
            EXPECT_EQ(failures[i].what, row.failures[i].first);
            EXPECT_EQ(failures[i].error.code, row.failures[i].second);
            EXPECT_NE(failures[i].error.message.find(std::strerror(row.failures[i].second)),
                std::string::npos);
            EXPECT_NE(failures[i].howToAllow.find(setcap), std::string::npos);
            EXPECT_NE(failures[i].howToAllow.find("run as root"), std::string::npos);
            EXPECT_EQ(
                failures[i].howToAllow.find("ip_unprivileged_port_start=7") != std::string::npos,
                failures[i].what.starts_with("UDP 7"));
        }
    }
    test::WriteSysctl("", "net/ipv4/ip_unprivileged_port_start", "1024");
}

TEST(WakeLineBookTest, IdenticalPacketsWithinASecondShareALine)
{
    const auto start = WakeLineBook::Clock::now();
    const auto packet = [](std::string to, std::string target, bool secureOn) {
        HeardWakePacket heard;
        heard.from = "192.0.2.5:40000";
        heard.to = std::move(to);
        heard.path = "UDP 9";
        heard.targetMac = std::move(target);
        heard.secureOn = secureOn;
        return heard;
    };
    const struct {
        std::chrono::milliseconds at;
        std::string sender, to, target;
        bool secureOn;
        std::uint64_t line;
        std::uint32_t repeats;
    } rows[] = {
        {0ms, "192.0.2.5", "192.0.2.255", "A", false, 1, 1},
        {100ms, "192.0.2.5", "192.0.2.255", "A", false, 1, 2}, // counted on line 1
        {200ms, "192.0.2.6", "192.0.2.255", "A", false, 2, 1}, // another sender
        {300ms, "192.0.2.5", "255.255.255.255", "A", false, 3, 1},
        {400ms, "192.0.2.5", "192.0.2.255", "B", false, 4, 1},
        {500ms, "192.0.2.5", "192.0.2.255", "A", true, 5, 1},
        {999ms, "192.0.2.5", "192.0.2.255", "A", false, 1, 3},
        {1000ms, "192.0.2.5", "192.0.2.255", "A", false, 6, 1}, // line 1's second is over
        {1100ms, "192.0.2.6", "192.0.2.255", "A", false, 2, 2},
        {1999ms, "192.0.2.5", "192.0.2.255", "A", false, 6, 2},
    };
    WakeLineBook book;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.at.count());
        const HeardWakePacket& line =
            book.Add(packet(row.to, row.target, row.secureOn), row.sender, start + row.at);
        EXPECT_EQ(line.line, row.line);
        EXPECT_EQ(line.repeats, row.repeats);
        EXPECT_EQ(line.to, row.to);
    }
}

} // namespace
} // namespace pondel
