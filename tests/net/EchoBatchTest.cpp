#include "EchoBatch.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <linux/capability.h>
#include <poll.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include "Ipv4Text.h"
#include "SocketHandle.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string Lab(int host)
{
    return "198.51.100." + std::to_string(host);
}

// Runs fn with CAP_NET_RAW for a raw socket, without it for the ping socket.
int RunAs(IcmpSocketKind kind, const std::function<int()>& fn)
{
    const bool datagram = kind == IcmpSocketKind::kDatagram;
    test::WriteSysctl("", "net/ipv4/ping_group_range", datagram ? "0 2147483647" : "1 0");
    return kind == IcmpSocketKind::kRaw ? fn() : test::RunWithoutCapability(CAP_NET_RAW, fn);
}

// Takes down what a batch says, and stops it when asked to.
class Recorder final : public EchoBatchEvents {
public:
    explicit Recorder(std::vector<std::uint32_t> addresses)
        : addresses_(std::move(addresses))
    {
    }

    std::optional<std::uint32_t> AddressOf(std::uint64_t index) override
    {
        if (addresses_[index] == 0)
            return std::nullopt;
        return addresses_[index];
    }
    bool ShouldStop() override { return stopAt && Clock::now() >= *stopAt; }
    void OnSent(std::uint64_t index) override { sent.push_back(index); }
    void OnResult(std::uint64_t index, bool isAnswered) override
    {
        ++resultCount[index];
        if (isAnswered)
            answered.insert(index);
    }

    std::uint64_t Count() const { return addresses_.size(); }

    std::optional<Clock::time_point> stopAt;
    std::vector<std::uint64_t> sent;
    std::map<std::uint64_t, int> resultCount;
    std::set<std::uint64_t> answered;

private:
    std::vector<std::uint32_t> addresses_;
};

// Sees every echo request that reaches a peer namespace and can answer it
// as it likes, from any of the peer's addresses: the peer's kernel itself
// answers nothing.
class Wire final {
public:
    struct Request {
        std::uint32_t to = 0;
        std::vector<std::uint8_t> message; // the ICMP part
        std::chrono::nanoseconds arrived{};
    };

    explicit Wire(const std::string& ns)
        : ns_(ns)
        , listener_(Raw(ns))
    {
        const int on = 1;
        setsockopt(listener_.Get(), SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    }

    // The first `count` requests that arrive, fewer when none comes for
    // `wait`.
    std::vector<Request> Collect(std::size_t count, std::chrono::milliseconds wait = 3000ms)
    {
        std::vector<Request> requests;
        while (requests.size() < count) {
            pollfd ready{listener_.Get(), POLLIN, 0};
            if (poll(&ready, 1, static_cast<int>(wait.count())) <= 0)
                break;
            if (auto request = Read())
                requests.push_back(std::move(*request));
        }
        return requests;
    }

    // Sends this computer (.1 of the quiet peer's /24) an echo reply quoting
    // `request` from `from`, with `sequence` when given.
    void Answer(
        const Request& request, std::uint32_t from, std::optional<std::uint16_t> sequence = {})
    {
        std::vector<std::uint8_t> reply = request.message;
        reply[0] = kIcmpEchoReply;
        if (sequence) {
            reply[6] = static_cast<std::uint8_t>(*sequence >> 8);
            reply[7] = static_cast<std::uint8_t>(*sequence & 0xFFu);
        }
        reply[2] = reply[3] = 0;
        const std::uint16_t checksum = IcmpChecksum(reply);
        std::memcpy(reply.data() + 2, &checksum, sizeof checksum);
        const SocketHandle sender = Raw(ns_, from);
        const sockaddr_in prober{AF_INET, 0, {inet_addr("203.0.113.1")}, {}};
        ASSERT_GE(sendto(sender.Get(), reply.data(), reply.size(), 0,
                      reinterpret_cast<const sockaddr*>(&prober), sizeof prober),
            0);
    }

    static std::uint16_t SequenceOf(const Request& request)
    {
        return static_cast<std::uint16_t>((request.message[6] << 8) | request.message[7]);
    }

private:
    static SocketHandle Raw(const std::string& ns, std::uint32_t bindTo = 0)
    {
        SocketHandle handle(test::RunInNamespace(
            ns, [] { return socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP); }));
        const sockaddr_in address{AF_INET, 0, {htonl(bindTo)}, {}};
        if (!handle ||
            (bindTo != 0 &&
                bind(handle.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) !=
                    0))
            throw std::runtime_error("cannot open the wire's raw socket");
        return handle;
    }

    std::optional<Request> Read()
    {
        std::uint8_t packet[256];
        iovec data{packet, sizeof packet};
        alignas(cmsghdr) char control[128];
        msghdr message{};
        message.msg_iov = &data;
        message.msg_iovlen = 1;
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        const ssize_t size = recvmsg(listener_.Get(), &message, 0);
        if (size < 28)
            return std::nullopt;
        const std::size_t header = (packet[0] & 0x0Fu) * 4u;
        if (packet[header] != kIcmpEchoRequest)
            return std::nullopt;
        Request request;
        std::uint32_t to = 0;
        std::memcpy(&to, packet + 16, sizeof to);
        request.to = ntohl(to);
        request.message.assign(packet + header, packet + size);
        for (cmsghdr* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
            if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
                timespec stamp{};
                std::memcpy(&stamp, CMSG_DATA(c), sizeof stamp);
                request.arrived =
                    std::chrono::seconds(stamp.tv_sec) + std::chrono::nanoseconds(stamp.tv_nsec);
            }
        }
        return request;
    }

    std::string ns_;
    SocketHandle listener_;
};

// This computer is .1 of the lab's /24, where a peer holds .2 to .9 and
// .250 to .254 and answers every echo. A second peer, whose kernel answers
// no echo, holds .2 to .6 of 203.0.113/24; a Wire speaks for it.
class EchoBatchTest : public testing::TestWithParam<IcmpSocketKind> {
protected:
    void SetUp() override
    {
        const auto& live =
            network_.AddPeer({Lab(1), 24, "02:00:00:00:04:01"}, {Lab(2), 24, "02:00:00:00:04:02"});
        for (int host : {3, 4, 5, 6, 7, 8, 9, 250, 251, 252, 253, 254})
            test::TestNetwork::RunIn(
                live.ns, {"addr", "add", Lab(host) + "/24", "dev", live.peerIf});
        const auto& quiet = network_.AddPeer(
            {"203.0.113.1", 24, "02:00:00:00:05:01"}, {"203.0.113.2", 24, "02:00:00:00:05:02"});
        quietNs_ = quiet.ns;
        for (int host = 3; host <= 6; ++host)
            test::TestNetwork::RunIn(quietNs_,
                {"addr", "add", "203.0.113." + std::to_string(host) + "/24", "dev", quiet.peerIf});
        test::WriteSysctl(quietNs_, "net/ipv4/icmp_echo_ignore_all", "1");
    }

    // Runs a batch with a socket of the kind under test.
    void Run(Recorder& recorder, std::chrono::milliseconds timeOut, std::uint32_t rate)
    {
        RunAs(GetParam(), [&] {
            Result<IcmpSocket> socket = IcmpOpen();
            EXPECT_TRUE(socket);
            EXPECT_EQ(socket.Value().Kind(), GetParam());
            const auto start = Clock::now();
            RunEchoBatch(socket.Value(), {recorder.Count(), timeOut, rate}, recorder);
            elapsed_ = Clock::now() - start;
            return 0;
        });
    }

    static std::vector<std::uint32_t> LabRange(int first, int last)
    {
        std::vector<std::uint32_t> addresses;
        for (int host = first; host <= last; ++host)
            addresses.push_back(TextToIp(Lab(host)));
        return addresses;
    }

    static std::set<std::uint64_t> IndexesOf(
        const std::vector<std::uint32_t>& addresses, const std::set<int>& hosts)
    {
        std::set<std::uint64_t> indexes;
        for (std::size_t i = 0; i < addresses.size(); ++i) {
            if (hosts.count(static_cast<int>(addresses[i] & 0xFFu)) != 0)
                indexes.insert(i);
        }
        return indexes;
    }

    static void ExpectOneResultEach(const Recorder& recorder)
    {
        ASSERT_EQ(recorder.sent.size(), recorder.Count());
        for (std::uint64_t i = 0; i < recorder.Count(); ++i) {
            EXPECT_EQ(recorder.sent[i], i);
            EXPECT_EQ(recorder.resultCount.count(i) ? recorder.resultCount.at(i) : 0, 1) << i;
        }
    }

    test::TestNetwork network_;
    std::string quietNs_;
    Clock::duration elapsed_{};
};

TEST_P(EchoBatchTest, FindsExactlyTheLiveHostsWhateverTheLayout)
{
    const std::set<int> live{2, 3, 4, 5, 6, 7, 8, 9, 250, 251, 252, 253, 254};
    struct Layout {
        const char* name;
        std::vector<std::uint32_t> addresses;
    };
    std::vector<std::uint32_t> withGap = LabRange(2, 254);
    withGap.insert(withGap.begin() + 10, 0); // a target without an address
    const Layout layouts[] = {
        {"all silent", LabRange(10, 249)},
        {"all live", LabRange(2, 9)},
        {"live at both ends", LabRange(9, 250)},
        {"the whole /24 and a hole", withGap},
        {"one live host", LabRange(254, 254)},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        Recorder recorder(layout.addresses);
        Run(recorder, 300ms, kDefaultEchoRate);
        ExpectOneResultEach(recorder);
        EXPECT_EQ(recorder.answered, IndexesOf(layout.addresses, live));
        // One timeout after the last request, and sooner when all answered.
        EXPECT_LT(elapsed_, 300ms + 254 * 250us + 700ms);
        if (recorder.answered.size() == recorder.Count())
            EXPECT_LT(elapsed_, 250ms);
        else
            EXPECT_GE(elapsed_, 300ms);
    }
}

TEST_P(EchoBatchTest, RepliesCountOnlyFromTheRightSenderWithTheRightSequenceInTime)
{
    Wire wire(quietNs_);
    const std::vector<std::uint32_t> targets{TextToIp("203.0.113.2"), TextToIp("203.0.113.3"),
        TextToIp("203.0.113.4"), TextToIp("203.0.113.5")};
    Recorder recorder(targets);
    std::thread peer([&] {
        const auto requests = wire.Collect(4);
        ASSERT_EQ(requests.size(), 4u);
        std::map<std::uint32_t, Wire::Request> byTarget;
        for (const auto& request : requests)
            byTarget[request.to] = request;
        const auto& [a, b, c, d] = std::tie(
            byTarget[targets[0]], byTarget[targets[1]], byTarget[targets[2]], byTarget[targets[3]]);
        wire.Answer(b, targets[1]); // out of order
        wire.Answer(a, targets[0]);
        wire.Answer(a, targets[0]);                      // a duplicate
        wire.Answer(c, targets[3]);                      // from another host
        wire.Answer(c, targets[2], Wire::SequenceOf(a)); // another request's sequence
        std::this_thread::sleep_for(600ms);
        wire.Answer(d, targets[3]); // too late
    });
    Run(recorder, 400ms, kDefaultEchoRate);
    peer.join();
    ExpectOneResultEach(recorder);
    EXPECT_EQ(recorder.answered, (std::set<std::uint64_t>{0, 1}));
}

TEST_P(EchoBatchTest, RequestsGoOutNoFasterThanTheRate)
{
    Wire wire(quietNs_);
    // One address again and again, its link address learnt beforehand:
    // requests waiting for it would go out together once it is known.
    constexpr std::uint32_t kRate = 500;
    const std::vector<std::uint32_t> targets(40, TextToIp("203.0.113.6"));
    Recorder warmUp({targets[0]});
    Run(warmUp, 50ms, kRate);
    ASSERT_EQ(wire.Collect(1).size(), 1u);
    Recorder recorder(targets);
    std::vector<Wire::Request> requests;
    std::thread peer([&] { requests = wire.Collect(targets.size()); });
    Run(recorder, 50ms, kRate);
    peer.join();
    ASSERT_EQ(requests.size(), targets.size());
    constexpr auto kInterval = std::chrono::nanoseconds(1s) / kRate;
    // Arrival times carry the receiving side's jitter, microseconds either
    // way: a tenth of an interval is allowed on each gap and on the whole.
    for (std::size_t i = 1; i < requests.size(); ++i)
        EXPECT_GE(requests[i].arrived - requests[i - 1].arrived, kInterval * 9 / 10) << i;
    EXPECT_GE(requests.back().arrived - requests.front().arrived, kInterval * 39 - kInterval / 10);
}

TEST_P(EchoBatchTest, RateZeroSendsEachRequestOnceTheOneBeforeHasSettled)
{
    Wire wire(quietNs_);
    const std::vector<std::uint32_t> targets{
        TextToIp("203.0.113.3"), TextToIp("203.0.113.4"), TextToIp("203.0.113.5")};
    Recorder recorder(targets);
    std::vector<Wire::Request> requests;
    std::thread peer([&] { requests = wire.Collect(targets.size()); });
    Run(recorder, 150ms, 0);
    peer.join();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_GE(requests[1].arrived - requests[0].arrived, 145ms);
    EXPECT_GE(requests[2].arrived - requests[1].arrived, 145ms);
    ExpectOneResultEach(recorder);
    EXPECT_TRUE(recorder.answered.empty());

    // Answered hosts go one after another without waiting out the timeout.
    Recorder live(LabRange(2, 9));
    Run(live, 2000ms, 0);
    EXPECT_EQ(live.answered.size(), 8u);
    EXPECT_LT(elapsed_, 1000ms);
}

TEST_P(EchoBatchTest, AStopEndsTheBatchWithinATimeoutLeavingTheRestUnjudged)
{
    // At 100 requests a second the silent /24 would take well over 2 s.
    Recorder recorder(LabRange(10, 249));
    recorder.stopAt = Clock::now() + 100ms;
    Run(recorder, 1000ms, 100);
    EXPECT_LT(elapsed_, 400ms);
    EXPECT_LT(recorder.sent.size(), 30u);
    EXPECT_TRUE(recorder.resultCount.empty()) << "none had waited out its timeout";
}

INSTANTIATE_TEST_SUITE_P(BothSockets, EchoBatchTest,
    testing::Values(IcmpSocketKind::kRaw, IcmpSocketKind::kDatagram),
    [](const auto& param) { return param.param == IcmpSocketKind::kRaw ? "Raw" : "Datagram"; });

} // namespace
} // namespace pondel
