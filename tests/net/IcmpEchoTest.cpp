#include "Icmp.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <poll.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr const char* kAnsweringHost = "198.51.100.20";
constexpr const char* kSilentHost = "203.0.113.20";
constexpr const char* kSilentHostNeighbour = "203.0.113.21";

// Runs fn with CAP_NET_RAW for a raw socket, without it for the ping socket.
int RunAs(IcmpSocketKind kind, const std::function<int()>& fn)
{
    const bool datagram = kind == IcmpSocketKind::kDatagram;
    test::WriteSysctl("", "net/ipv4/ping_group_range", datagram ? "0 2147483647" : "1 0");
    return kind == IcmpSocketKind::kRaw ? fn() : test::RunWithoutCapability(CAP_NET_RAW, fn);
}

// ICMP echoes sent from the calling thread's namespace so far: the OutEchos
// column of the line of values after the line of names, both led by "Icmp:".
long OutEchoCount()
{
    std::ifstream snmp("/proc/thread-self/net/snmp");
    const std::vector<std::string> words{std::istream_iterator<std::string>(snmp), {}};
    const auto names = std::find(words.begin(), words.end(), "Icmp:");
    const auto values = std::find(names + 1, words.end(), "Icmp:");
    const auto name = std::find(names, values, "OutEchos");
    return name == values || values == words.end() ? -1 : std::stol(values[name - names]);
}

// What a scripted peer sends back for the one request it receives.
struct ScriptedReply {
    std::uint8_t type = kIcmpEchoReply;
    bool otherIdentifier = false;
    std::uint8_t sequence = 0;
    bool fromNeighbour = false; // sent from the peer's second address
    std::chrono::milliseconds delay{0};
};

// A host whose kernel leaves echo requests alone: a thread reads the first
// request on a raw socket in the peer namespace and plays a script of
// crafted answers to it.
class IcmpResponder final {
public:
    IcmpResponder(const std::string& ns, std::vector<ScriptedReply> script)
        : script_(std::move(script))
        , target_(Bound(ns, kSilentHost))
        , neighbour_(Bound(ns, kSilentHostNeighbour))
        , worker_([this] { Run(); })
    {
    }
    ~IcmpResponder() { worker_.join(); }

private:
    static SocketHandle Bound(const std::string& ns, const char* ip)
    {
        SocketHandle handle(test::RunInNamespace(
            ns, [] { return socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP); }));
        sockaddr_in address{AF_INET, 0, {inet_addr(ip)}, {}};
        if (!handle ||
            bind(handle.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            throw std::runtime_error("cannot open the responder's sockets");
        return handle;
    }

    void Run()
    {
        // Nothing but the probe's request comes to this address.
        Bytes request(128);
        sockaddr_in prober{};
        socklen_t length = sizeof prober;
        pollfd ready{target_.Get(), POLLIN, 0};
        ssize_t size = -1;
        if (poll(&ready, 1, 3000) > 0)
            size = recvfrom(target_.Get(), request.data(), request.size(), 0,
                reinterpret_cast<sockaddr*>(&prober), &length);
        if (size < 28 || request[(request[0] & 0x0Fu) * 4u] != kIcmpEchoRequest) {
            ADD_FAILURE() << "no echo request reached the responder";
            return;
        }
        request.resize(static_cast<std::size_t>(size));
        for (const auto& reply : script_) {
            std::this_thread::sleep_for(reply.delay);
            const Bytes message = Craft(reply, request);
            const int fd = reply.fromNeighbour ? neighbour_.Get() : target_.Get();
            if (sendto(fd, message.data(), message.size(), 0,
                    reinterpret_cast<const sockaddr*>(&prober), sizeof prober) < 0)
                ADD_FAILURE() << "the responder cannot send: " << std::strerror(errno);
        }
    }

    // An answer quotes the request's ICMP message; an error its IP header and
    // first 8 bytes.
    static Bytes Craft(const ScriptedReply& reply, const Bytes& request)
    {
        const auto header = static_cast<std::ptrdiff_t>((request[0] & 0x0Fu) * 4u);
        Bytes message{0, 1, 0, 0, 0, 0, 0, 0};
        if (reply.type == kIcmpEchoReply) {
            message.assign(request.begin() + header, request.end());
            message[4] ^= reply.otherIdentifier ? 0x5A : 0;
            message[7] = reply.sequence;
        } else {
            message.insert(message.end(), request.begin(), request.begin() + header + 8);
        }
        message[0] = reply.type;
        message[2] = message[3] = 0;
        const std::uint16_t checksum = IcmpChecksum(message);
        std::memcpy(message.data() + 2, &checksum, sizeof checksum);
        return message;
    }

    std::vector<ScriptedReply> script_;
    SocketHandle target_;
    SocketHandle neighbour_;
    std::thread worker_;
};

TEST(IcmpOpenTest, WithNeitherSocketItFailsWithTheSystemError)
{
    test::WriteSysctl("", "net/ipv4/ping_group_range", "1 0");
    auto openError = [] {
        const Result<IcmpSocket> socket = IcmpOpen();
        EXPECT_FALSE(socket);
        return socket ? 0 : socket.Error().code;
    };
    // The raw socket's refusal is the cause worth reporting, not the ping socket's EACCES.
    EXPECT_EQ(test::RunWithoutCapability(CAP_NET_RAW, openError), EPERM);
    EXPECT_EQ(test::RunWithSocketsDenied(openError), EACCES);
}

// Two peers: one that answers echoes itself, and one whose kernel stays
// silent (its answers, if any, come from an IcmpResponder). Every test runs
// with a raw socket and with the ping socket.
class IcmpEchoTest : public testing::TestWithParam<IcmpSocketKind> {
protected:
    void SetUp() override
    {
        network_.AddPeer(
            {"198.51.100.1", 24, "02:00:00:00:02:01"}, {kAnsweringHost, 24, "02:00:00:00:02:02"});
        const auto& silent = network_.AddPeer(
            {"203.0.113.1", 24, "02:00:00:00:03:01"}, {kSilentHost, 24, "02:00:00:00:03:02"});
        silentNs_ = silent.ns;
        test::TestNetwork::RunIn(silentNs_,
            {"addr", "add", std::string(kSilentHostNeighbour) + "/24", "dev", silent.peerIf});
        test::WriteSysctl(silentNs_, "net/ipv4/icmp_echo_ignore_all", "1");
    }

    // Opens a socket of the kind under test and runs one IcmpEcho with it.
    int Probe(std::uint32_t timeOut, const std::string& target)
    {
        return RunAs(GetParam(), [&] {
            Result<IcmpSocket> opened = IcmpOpen();
            EXPECT_TRUE(opened);
            const IcmpSocket socket = opened ? std::move(opened).Value() : IcmpSocket{};
            EXPECT_EQ(socket.Kind(), GetParam());
            // Non-blocking, time to live 30, and not inherited by the ping
            // command's child processes.
            int timeToLive = 0;
            socklen_t length = sizeof timeToLive;
            getsockopt(socket.Get(), IPPROTO_IP, IP_TTL, &timeToLive, &length);
            EXPECT_EQ(timeToLive, 30);
            EXPECT_EQ(fcntl(socket.Get(), F_GETFL) & O_NONBLOCK, O_NONBLOCK);
            EXPECT_EQ(fcntl(socket.Get(), F_GETFD) & FD_CLOEXEC, FD_CLOEXEC);
            if (GetParam() == IcmpSocketKind::kRaw) {
                EXPECT_EQ(socket.Identifier(), ProcessEchoIdentifier());
            }
            const auto start = std::chrono::steady_clock::now();
            const int result = IcmpEcho(timeOut, target, socket);
            elapsed_ = std::chrono::steady_clock::now() - start;
            return result;
        });
    }

    test::TestNetwork network_;
    std::string silentNs_;
    std::chrono::steady_clock::duration elapsed_{}; // of the last Probe
};

TEST_P(IcmpEchoTest, TheProbeEndsAtTheTimeoutEvenUnderForeignTrafficAndAtOnceOnAnError)
{
    EXPECT_EQ(Probe(300, kSilentHost), -1);
    EXPECT_GE(elapsed_, 290ms);
    EXPECT_LT(elapsed_, 2500ms);
    {
        // Packets the probe must ignore keep arriving for two seconds.
        IcmpResponder responder(
            silentNs_, std::vector<ScriptedReply>(200, {.sequence = 1, .delay = 10ms}));
        EXPECT_EQ(Probe(300, kSilentHost), -1);
        EXPECT_GE(elapsed_, 290ms);
        EXPECT_LT(elapsed_, 1200ms);
    }
    IcmpResponder responder(silentNs_, {{.type = kIcmpDestinationUnreachable}});
    EXPECT_EQ(Probe(3000, kSilentHost), -1);
    EXPECT_LT(elapsed_, 1500ms);
}

TEST_P(IcmpEchoTest, ForeignPacketsAreIgnoredUntilTheAnswerComes)
{
    IcmpResponder responder(silentNs_,
        {{.otherIdentifier = true}, {.fromNeighbour = true},
            {.type = kIcmpDestinationUnreachable, .fromNeighbour = true}, {.sequence = 1},
            {.type = kIcmpTimeExceeded}, {.delay = 200ms}});
    EXPECT_EQ(Probe(1500, kSilentHost), 0);
    EXPECT_GE(elapsed_, 190ms);
}

TEST_P(IcmpEchoTest, AddressesAndNamesAnswerButAnUnresolvableNameSendsNothing)
{
    const long before = OutEchoCount();
    EXPECT_EQ(Probe(3000, "no-such-host.invalid"), -1);
    EXPECT_LT(elapsed_, 1500ms);
    EXPECT_EQ(Probe(3000, ""), -1);
    EXPECT_EQ(OutEchoCount(), before);
    // A raw socket sees its own request to this machine arrive before the
    // reply; "localhost" comes from /etc/hosts, with no lookup leaving.
    for (const char* target : {kAnsweringHost, "127.0.0.1", "198.51.100.1", "localhost"})
        EXPECT_EQ(Probe(2000, target), 0) << target;
    EXPECT_EQ(OutEchoCount(), before + 4); // the counter does see what is sent
}

// Also ProbeHost's live and dead answers with its own echo.
TEST_P(IcmpEchoTest, ProbesOnTwoThreadsKeepTheirOwnReplies)
{
    auto fourProbes = [&](const char* target) {
        return RunAs(GetParam(), [&] {
            int hits = 0;
            for (int i = 0; i < 4; ++i)
                hits += ProbeHost(target, 250, ProbeMethod::kOwnEcho);
            return hits;
        });
    };
    std::atomic<int> answered{-1};
    std::thread other([&] { answered = fourProbes(kAnsweringHost); });
    EXPECT_EQ(fourProbes(kSilentHost), 0);
    other.join();
    EXPECT_EQ(answered, 4);
}

INSTANTIATE_TEST_SUITE_P(BothSockets, IcmpEchoTest,
    testing::Values(IcmpSocketKind::kRaw, IcmpSocketKind::kDatagram),
    [](const auto& param) { return param.param == IcmpSocketKind::kRaw ? "Raw" : "Datagram"; });

} // namespace
} // namespace pondel
