#include "EchoBatch.h"

#include <algorithm>
#include <array>
#include <cerrno>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>

#include "EchoBook.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;

// How often a wait looks whether the batch should stop.
constexpr auto kStopCheckInterval = 5ms;
// How long a request waits when the system has no room for it, and how long
// it keeps trying: the requests queued for addresses that are still being
// resolved fill the socket's buffer, and their entries the neighbour table,
// until the resolution gives up after about three seconds.
constexpr auto kBusyRetry = 1ms;
constexpr auto kBusyLimit = 4s;
// Room for the requests that wait for address resolution, which count
// against the socket until the kernel gives up on them.
constexpr int kSendBufferSize = 4 << 20;
// The largest IPv4 header followed by a whole echo message.
constexpr std::size_t kPacketBufferSize = 60 + kIcmpRequestSize;

// Sequence 0 stays with the single probe, so that the two never take each
// other's replies on the raw socket, which shares its identifier.
std::uint16_t SequenceOf(std::uint64_t index)
{
    return static_cast<std::uint16_t>(index % 0xFFFFu + 1);
}

void EnlargeSendBuffer(int fd)
{
    // Beyond the system's limit only with CAP_NET_ADMIN; the plain request
    // is capped at that limit, which is still better than the default.
    if (setsockopt(fd, SOL_SOCKET, SO_SNDBUFFORCE, &kSendBufferSize, sizeof kSendBufferSize) != 0)
        (void)setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &kSendBufferSize, sizeof kSendBufferSize);
}

// Waits of a fraction of a millisecond would overshoot by the thread's
// default timer slack of 50 us, a fifth of the interval at the default
// rate; the batch asks for exact wake-ups while it runs.
class ExactTimers final {
public:
    ExactTimers()
        : previous_(prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0))
    {
        (void)prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    }
    ~ExactTimers()
    {
        if (previous_ > 0)
            (void)prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(previous_), 0, 0, 0);
    }
    ExactTimers(const ExactTimers&) = delete;
    ExactTimers& operator=(const ExactTimers&) = delete;

private:
    int previous_;
};

enum class SendOutcome {
    kSent,
    kBusy,   // try again shortly
    kFailed, // cannot be sent at all
};

class EchoBatchRun final {
public:
    EchoBatchRun(const IcmpSocket& socket, const EchoBatchPlan& plan, EchoBatchEvents& events)
        : socket_(socket)
        , plan_(plan)
        , events_(events)
        , book_(plan.timeOut)
        , interval_(plan.rate == 0
                  ? EchoClock::duration::zero()
                  : std::chrono::duration_cast<EchoClock::duration>(1s) / plan.rate)
    {
    }

    void Run()
    {
        const ExactTimers exactTimers;
        EnlargeSendBuffer(socket_.Get());
        nextSendAt_ = EchoClock::now();
        while (!events_.ShouldStop()) {
            EchoClock::time_point now = EchoClock::now();
            if (MaySend(now)) {
                SendNext(now);
                Drain();
                now = EchoClock::now();
            }
            for (const std::uint64_t index : book_.Expire(now))
                events_.OnResult(index, false);
            if (next_ >= plan_.count && book_.Empty())
                return;
            if (!MaySend(now) && WaitReadable(WakeTime(now)))
                Drain();
        }
    }

private:
    // Rate 0: only once the last request is settled.
    bool MaySend(EchoClock::time_point now) const
    {
        return next_ < plan_.count && now >= nextSendAt_ && (plan_.rate != 0 || book_.Empty());
    }

    EchoClock::time_point WakeTime(EchoClock::time_point now) const
    {
        EchoClock::time_point wake = now + kStopCheckInterval;
        if (next_ < plan_.count && (plan_.rate != 0 || book_.Empty()))
            wake = std::min(wake, nextSendAt_);
        if (const auto expiry = book_.NextExpiry())
            wake = std::min(wake, *expiry + 1us);
        return wake;
    }

    void SendNext(EchoClock::time_point now)
    {
        const std::uint64_t index = next_;
        const std::optional<std::uint32_t> address = events_.AddressOf(index);
        const SendOutcome outcome =
            address ? Send(*address, SequenceOf(index)) : SendOutcome::kFailed;
        if (outcome == SendOutcome::kBusy) {
            if (!busySince_)
                busySince_ = now;
            if (now - *busySince_ < kBusyLimit) {
                nextSendAt_ = now + kBusyRetry;
                return;
            }
        }
        busySince_.reset();
        ++next_;
        // On the schedule, so that late wake-ups do not add up over a long
        // range; after a stall the requests catch up no faster than a
        // tenth above the rate, never in a burst.
        const EchoClock::time_point sentAt = EchoClock::now();
        nextSendAt_ = std::max(nextSendAt_ + interval_, sentAt + interval_ * 9 / 10);
        events_.OnSent(index);
        if (outcome == SendOutcome::kSent)
            book_.Sent(index, *address, SequenceOf(index), sentAt);
        else
            events_.OnResult(index, false);
    }

    SendOutcome Send(std::uint32_t address, std::uint16_t sequence)
    {
        const IcmpRequest request = BuildEchoRequest(socket_.Identifier(), sequence);
        sockaddr_in target{};
        target.sin_family = AF_INET;
        target.sin_addr.s_addr = htonl(address);
        if (sendto(socket_.Get(), request.data(), request.size(), 0,
                reinterpret_cast<const sockaddr*>(&target), sizeof target) >= 0)
            return SendOutcome::kSent;
        // A full neighbour table makes the route's output fail with EINVAL.
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ENOBUFS || errno == EINTR ||
            errno == EINVAL)
            return SendOutcome::kBusy;
        return SendOutcome::kFailed;
    }

    bool WaitReadable(EchoClock::time_point until) const
    {
        const auto left =
            std::chrono::duration_cast<std::chrono::nanoseconds>(until - EchoClock::now());
        if (left.count() <= 0)
            return true;
        const timespec limit{static_cast<time_t>(left.count() / 1'000'000'000),
            static_cast<long>(left.count() % 1'000'000'000)};
        pollfd ready{socket_.Get(), POLLIN, 0};
        return ppoll(&ready, 1, &limit, nullptr) > 0;
    }

    // Reads every packet waiting, and for the ping socket its error queue,
    // whose entries would otherwise wake every wait.
    void Drain()
    {
        std::array<std::uint8_t, kPacketBufferSize> packet{};
        for (;;) {
            sockaddr_in sender{};
            socklen_t senderLength = sizeof sender;
            const ssize_t length = recvfrom(socket_.Get(), packet.data(), packet.size(),
                MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&sender), &senderLength);
            if (length < 0)
                break;
            Judge(std::span<const std::uint8_t>(packet.data(), static_cast<std::size_t>(length)),
                ntohl(sender.sin_addr.s_addr));
        }
        if (socket_.Kind() == IcmpSocketKind::kDatagram) {
            while (recv(socket_.Get(), packet.data(), packet.size(), MSG_ERRQUEUE | MSG_DONTWAIT) >=
                0) { }
        }
    }

    void Judge(std::span<const std::uint8_t> packet, std::uint32_t sender)
    {
        // The raw socket hands over the IP header too; the ping socket only
        // the ICMP message.
        std::optional<std::span<const std::uint8_t>> message = packet;
        if (socket_.Kind() == IcmpSocketKind::kRaw)
            message = IcmpMessageOf(packet);
        if (!message)
            return;
        const auto reply = ReadEchoReply(*message);
        if (!reply || reply->identifier != socket_.Identifier())
            return;
        if (const auto index = book_.Answer(sender, reply->sequence, EchoClock::now()))
            events_.OnResult(*index, true);
    }

    const IcmpSocket& socket_;
    const EchoBatchPlan& plan_;
    EchoBatchEvents& events_;
    EchoBook book_;
    const EchoClock::duration interval_;
    std::uint64_t next_ = 0;
    EchoClock::time_point nextSendAt_;
    std::optional<EchoClock::time_point> busySince_;
};

} // namespace

void RunEchoBatch(const IcmpSocket& socket, const EchoBatchPlan& plan, EchoBatchEvents& events)
{
    if (!socket)
        return;
    EchoBatchRun(socket, plan, events).Run();
}

} // namespace pondel
