#include "net/Icmp.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/capability.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::TestNetwork;

constexpr const char* kAnsweringHost = "198.51.100.20";
constexpr const char* kSilentHost = "203.0.113.20";
constexpr const char* kSilentHostNeighbour = "203.0.113.21";

void AllowPingSockets(bool allow)
{
    test::WriteSysctl("", "net/ipv4/ping_group_range", allow ? "0 2147483647" : "1 0");
}

// Runs fn the way one kind of socket comes about: with CAP_NET_RAW for the
// raw socket, without it for the datagram socket (see AllowPingSockets).
int RunAs(IcmpSocketKind kind, const std::function<int()>& fn)
{
    if (kind == IcmpSocketKind::kRaw)
        return fn();
    return test::RunWithoutCapability(CAP_NET_RAW, fn);
}

// ICMP echoes sent from the calling thread's namespace so far.
long OutEchoCount()
{
    std::ifstream snmp("/proc/thread-self/net/snmp");
    std::string names;
    std::string values;
    while (std::getline(snmp, names) && std::getline(snmp, values)) {
        if (names.rfind("Icmp:", 0) != 0)
            continue;
        std::istringstream nameStream(names);
        std::istringstream valueStream(values);
        std::string name;
        std::string value;
        while (nameStream >> name && valueStream >> value) {
            if (name == "OutEchos")
                return std::stol(value);
        }
    }
    return -1;
}

// What a scripted peer sends back for the one request it receives.
struct ScriptedReply {
    enum Kind {
        kEchoReply,
        kUnreachable,
        kTimeExceeded
    };
    Kind kind = kEchoReply;
    bool otherIdentifier = false;
    std::uint16_t sequence = 0;
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
        , target_(test::OpenSocketIn(ns, AF_INET, SOCK_RAW, IPPROTO_ICMP))
        , neighbour_(test::OpenSocketIn(ns, AF_INET, SOCK_RAW, IPPROTO_ICMP))
    {
        if (!target_ || !neighbour_ || !Bind(target_.Get(), kSilentHost) ||
            !Bind(neighbour_.Get(), kSilentHostNeighbour))
            throw std::runtime_error("cannot open the responder's sockets");
        worker_ = std::thread([this] { Run(); });
    }
    ~IcmpResponder() { worker_.join(); }
    IcmpResponder(const IcmpResponder&) = delete;
    IcmpResponder& operator=(const IcmpResponder&) = delete;

    bool SawRequest() const { return sawRequest_; }

private:
    static bool Bind(int fd, const char* ip)
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        inet_pton(AF_INET, ip, &address.sin_addr);
        return bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }

    void Run()
    {
        std::vector<std::uint8_t> request(128);
        sockaddr_in prober{};
        for (;;) {
            pollfd ready{target_.Get(), POLLIN, 0};
            if (poll(&ready, 1, 3000) <= 0)
                return;
            socklen_t length = sizeof prober;
            const ssize_t size = recvfrom(target_.Get(), request.data(), request.size(), 0,
                reinterpret_cast<sockaddr*>(&prober), &length);
            const std::size_t header = (request[0] & 0x0Fu) * 4u;
            if (size >= static_cast<ssize_t>(header + 8) && request[header] == kIcmpEchoRequest) {
                request.resize(static_cast<std::size_t>(size));
                break;
            }
        }
        sawRequest_ = true;
        for (const auto& reply : script_) {
            std::this_thread::sleep_for(reply.delay);
            const auto message = Craft(reply, request);
            const int fd = reply.fromNeighbour ? neighbour_.Get() : target_.Get();
            if (sendto(fd, message.data(), message.size(), 0,
                    reinterpret_cast<const sockaddr*>(&prober), sizeof prober) < 0)
                ADD_FAILURE() << "the responder cannot send: " << std::strerror(errno);
        }
    }

    static std::vector<std::uint8_t> Craft(
        const ScriptedReply& reply, const std::vector<std::uint8_t>& request)
    {
        const std::size_t header = (request[0] & 0x0Fu) * 4u;
        std::vector<std::uint8_t> message;
        switch (reply.kind) {
        case ScriptedReply::kEchoReply:
            message.assign(request.begin() + static_cast<std::ptrdiff_t>(header), request.end());
            message[0] = kIcmpEchoReply;
            if (reply.otherIdentifier)
                message[4] ^= 0x5A;
            message[6] = static_cast<std::uint8_t>(reply.sequence >> 8);
            message[7] = static_cast<std::uint8_t>(reply.sequence);
            break;
        case ScriptedReply::kUnreachable:
        case ScriptedReply::kTimeExceeded:
            // The error quotes the request's IP header and first 8 bytes.
            message = {reply.kind == ScriptedReply::kUnreachable ? kIcmpDestinationUnreachable
                                                                 : kIcmpTimeExceeded,
                1, 0, 0, 0, 0, 0, 0};
            message.insert(message.end(), request.begin(),
                request.begin() + static_cast<std::ptrdiff_t>(header + 8));
            break;
        }
        message[2] = message[3] = 0;
        const std::uint16_t checksum = IcmpChecksum(message);
        std::memcpy(message.data() + 2, &checksum, sizeof checksum);
        return message;
    }

    std::vector<ScriptedReply> script_;
    SocketHandle target_;
    SocketHandle neighbour_;
    std::atomic<bool> sawRequest_{false};
    std::thread worker_;
};

// Two peers: one that answers echoes itself, and one whose kernel stays
// silent (its answers, if any, come from an IcmpResponder).
class IcmpNetworkTest : public testing::Test {
protected:
    void SetUp() override
    {
        network_.AddPeer(
            {"198.51.100.1", 24, "02:00:00:00:02:01"}, {kAnsweringHost, 24, "02:00:00:00:02:02"});
        const auto& silent = network_.AddPeer(
            {"203.0.113.1", 24, "02:00:00:00:03:01"}, {kSilentHost, 24, "02:00:00:00:03:02"});
        silentNs_ = silent.ns;
        TestNetwork::RunIn(silentNs_,
            {"addr", "add", std::string(kSilentHostNeighbour) + "/24", "dev", silent.peerIf});
        test::WriteSysctl(silentNs_, "net/ipv4/icmp_echo_ignore_all", "1");
    }
    void TearDown() override { AllowPingSockets(false); }

    TestNetwork network_;
    std::string silentNs_;
};

class IcmpOpenTest : public IcmpNetworkTest { };

int IntOption(int fd, int level, int name)
{
    int value = -1;
    socklen_t length = sizeof value;
    return getsockopt(fd, level, name, &value, &length) == 0 ? value : -1;
}

TEST_F(IcmpOpenTest, WithCapNetRawTheSocketIsRaw)
{
    const IcmpSocket socket = IcmpOpen();
    ASSERT_TRUE(socket);
    EXPECT_EQ(socket.Kind(), IcmpSocketKind::kRaw);
    EXPECT_EQ(socket.Identifier(), ProcessEchoIdentifier());
    EXPECT_EQ(IntOption(socket.Get(), IPPROTO_IP, IP_TTL), 30);
    EXPECT_NE(fcntl(socket.Get(), F_GETFL) & O_NONBLOCK, 0);
    EXPECT_NE(fcntl(socket.Get(), F_GETFD) & FD_CLOEXEC, 0);
}

TEST_F(IcmpOpenTest, WithoutCapNetRawThePingSocketStandsIn)
{
    AllowPingSockets(true);
    const int ok = RunAs(IcmpSocketKind::kDatagram, [] {
        int error = 0;
        const IcmpSocket socket = IcmpOpen(&error);
        sockaddr_in local{};
        socklen_t length = sizeof local;
        getsockname(socket.Get(), reinterpret_cast<sockaddr*>(&local), &length);
        EXPECT_EQ(socket.Kind(), IcmpSocketKind::kDatagram);
        EXPECT_EQ(IntOption(socket.Get(), SOL_SOCKET, SO_TYPE), SOCK_DGRAM);
        EXPECT_EQ(socket.Identifier(), ntohs(local.sin_port));
        EXPECT_NE(socket.Identifier(), 0);
        EXPECT_EQ(IntOption(socket.Get(), IPPROTO_IP, IP_TTL), 30);
        EXPECT_EQ(IntOption(socket.Get(), IPPROTO_IP, IP_RECVERR), 1);
        EXPECT_NE(fcntl(socket.Get(), F_GETFL) & O_NONBLOCK, 0);
        return socket.IsValid() ? 1 : 0;
    });
    EXPECT_EQ(ok, 1);
}

TEST_F(IcmpOpenTest, WithNeitherItFailsWithTheSystemError)
{
    const int before = test::CountOpenDescriptors();
    AllowPingSockets(false);
    const int error = test::RunWithoutCapability(CAP_NET_RAW, [] {
        int code = 0;
        const IcmpSocket socket = IcmpOpen(&code);
        EXPECT_FALSE(socket);
        EXPECT_EQ(socket.Get(), -1);
        return code;
    });
    EXPECT_EQ(error, EPERM);

    const int denied = test::RunWithSocketsDenied([] {
        int code = 0;
        const IcmpSocket socket = IcmpOpen(&code);
        EXPECT_FALSE(socket);
        return code;
    });
    EXPECT_EQ(denied, EACCES);
    EXPECT_EQ(test::CountOpenDescriptors(), before);
}

struct ProbeOutcome {
    int result = -2;
    std::chrono::milliseconds elapsed{};
};

// Opens a socket of the given kind and runs one IcmpEcho with it.
ProbeOutcome Probe(IcmpSocketKind kind, std::uint32_t timeOut, const std::string& target)
{
    ProbeOutcome outcome;
    AllowPingSockets(kind == IcmpSocketKind::kDatagram);
    RunAs(kind, [&] {
        const IcmpSocket socket = IcmpOpen();
        EXPECT_TRUE(socket);
        EXPECT_EQ(socket.Kind(), kind);
        const auto start = Clock::now();
        outcome.result = IcmpEcho(timeOut, target, socket);
        outcome.elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
        return 0;
    });
    return outcome;
}

class IcmpEchoTest : public IcmpNetworkTest, public testing::WithParamInterface<IcmpSocketKind> { };

TEST_P(IcmpEchoTest, AnsweringHostAnswers)
{
    EXPECT_EQ(Probe(GetParam(), 2000, kAnsweringHost).result, 0);
}

TEST_P(IcmpEchoTest, OwnAddressAnswers)
{
    // A raw socket sees the request itself arrive before the reply.
    EXPECT_EQ(Probe(GetParam(), 2000, "127.0.0.1").result, 0);
    EXPECT_EQ(Probe(GetParam(), 2000, "198.51.100.1").result, 0);
}

TEST_P(IcmpEchoTest, SilentAddressGivesUpAfterTheTimeout)
{
    const ProbeOutcome outcome = Probe(GetParam(), 300, kSilentHost);
    EXPECT_EQ(outcome.result, -1);
    EXPECT_GE(outcome.elapsed, 290ms);
    EXPECT_LT(outcome.elapsed, 2500ms);
}

TEST_P(IcmpEchoTest, UnreachableFromTheTargetEndsAtOnce)
{
    IcmpResponder responder(silentNs_, {{.kind = ScriptedReply::kUnreachable}});
    const ProbeOutcome outcome = Probe(GetParam(), 3000, kSilentHost);
    EXPECT_EQ(outcome.result, -1);
    EXPECT_LT(outcome.elapsed, 1500ms);
    EXPECT_TRUE(responder.SawRequest());
}

TEST_P(IcmpEchoTest, ForeignPacketsAreIgnoredUntilTheAnswerComes)
{
    IcmpResponder responder(silentNs_,
        {
            {.otherIdentifier = true},
            {.fromNeighbour = true},
            {.kind = ScriptedReply::kUnreachable, .fromNeighbour = true},
            {.sequence = 1},
            {.kind = ScriptedReply::kTimeExceeded},
            {.delay = 200ms},
        });
    const ProbeOutcome outcome = Probe(GetParam(), 1500, kSilentHost);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_GE(outcome.elapsed, 190ms);
}

TEST_P(IcmpEchoTest, ForeignPacketsAloneAreNoAnswer)
{
    IcmpResponder responder(silentNs_,
        {
            {.otherIdentifier = true},
            {.fromNeighbour = true},
            {.sequence = 1},
        });
    const ProbeOutcome outcome = Probe(GetParam(), 400, kSilentHost);
    EXPECT_EQ(outcome.result, -1);
    EXPECT_GE(outcome.elapsed, 390ms);
    EXPECT_TRUE(responder.SawRequest());
}

TEST_P(IcmpEchoTest, HostNameIsResolved)
{
    // "localhost" comes from /etc/hosts, without any lookup leaving the machine.
    EXPECT_EQ(Probe(GetParam(), 2000, "localhost").result, 0);
}

TEST_P(IcmpEchoTest, UnresolvableNameSendsNothing)
{
    const long before = OutEchoCount();
    ASSERT_GE(before, 0);
    const ProbeOutcome outcome = Probe(GetParam(), 3000, "no-such-host.invalid");
    EXPECT_EQ(outcome.result, -1);
    EXPECT_LT(outcome.elapsed, 1500ms);
    EXPECT_EQ(Probe(GetParam(), 3000, "").result, -1);
    EXPECT_EQ(OutEchoCount(), before);
    // The counter does see a probe that is sent.
    EXPECT_EQ(Probe(GetParam(), 2000, kAnsweringHost).result, 0);
    EXPECT_EQ(OutEchoCount(), before + 1);
}

TEST_P(IcmpEchoTest, ProbesOnTwoThreadsKeepTheirOwnReplies)
{
    AppSettings settings;
    settings.noExternalCommand = 1;
    settings.icmpTimeOut = 250;
    std::atomic<int> answered{0};
    std::atomic<int> silent{0};
    auto probeLoop = [&](const char* target, std::atomic<int>& hits) {
        return [&, target] {
            RunAs(GetParam(), [&] {
                for (int i = 0; i < 4; ++i)
                    hits += ProbeHost(target, settings);
                return 0;
            });
        };
    };
    AllowPingSockets(GetParam() == IcmpSocketKind::kDatagram);
    std::thread first(probeLoop(kAnsweringHost, answered));
    std::thread second(probeLoop(kSilentHost, silent));
    first.join();
    second.join();
    EXPECT_EQ(answered, 4);
    EXPECT_EQ(silent, 0);
}

INSTANTIATE_TEST_SUITE_P(BothSockets, IcmpEchoTest,
    testing::Values(IcmpSocketKind::kRaw, IcmpSocketKind::kDatagram),
    [](const testing::TestParamInfo<IcmpSocketKind>& param) {
        return param.param == IcmpSocketKind::kRaw ? "Raw" : "Datagram";
    });

} // namespace
} // namespace pondel
