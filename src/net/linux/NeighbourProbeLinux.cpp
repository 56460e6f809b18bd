// Many addresses at once: a datagram to each makes the kernel send the ARP
// request, and one subscription to the neighbour table's changes hears the
// answers. The table is shared by the whole system and refuses new entries
// beyond gc_thresh3, so only so many of our requests wait at one time, and
// a request the kernel refused for want of room goes out again once some of
// ours are settled.
#include "NeighbourProbe.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <unordered_map>

#include <arpa/inet.h>
#include <linux/neighbour.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include "NeighbourMessage.h"
#include "RtNetlink.h"
#include "SocketHandle.h"
#include "SystemNetwork.h"

namespace pondel {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using system_network::NeighbourEntry;

// The discard service: it is the resolution before the datagram we are after.
constexpr std::uint16_t kPokePort = 9;
// Notifications can be lost when many come at once; the table is read again
// this often while requests wait.
constexpr auto kRecheckInterval = 100ms;
// An entry the link confirmed this recently counts as an answer without a
// new one: the kernel checks a known entry only seconds after it is used, so
// waiting for that would hold up every pass.
constexpr auto kFreshEntry = 120s;
// After this long a request no longer holds a place, whatever became of its
// entry: the kernel gives up an unanswered one after a few seconds.
constexpr auto kLongestHold = 5s;
// How long to wait before sending again after the table refused an entry.
constexpr auto kTableFullPause = 20ms;

// States of an entry the link has answered for. A permanent entry was
// written by hand (or for a wake-up) and says nothing of who is running,
// since the kernel never asks the link about it.
constexpr std::uint16_t kAnsweredStates = NUD_REACHABLE | NUD_STALE | NUD_DELAY | NUD_PROBE;

std::size_t SystemTableLimit()
{
    std::ifstream file("/proc/sys/net/ipv4/neigh/default/gc_thresh3");
    std::size_t limit = 0;
    if (file >> limit && limit > 0)
        return limit;
    return kDefaultNeighbourTableLimit;
}

// One address asked about, for every index that names it.
struct Question {
    std::uint32_t address = 0;
    std::vector<std::size_t> indexes;
    enum class Step {
        kQueued,
        kWaiting, // sent, no verdict yet
        kHolding, // judged, its entry still unsettled in the table
        kDone,
    } step = Step::kQueued;
    Clock::time_point sentAt;
};

class NeighbourProber final {
public:
    NeighbourProber(std::span<const std::uint32_t> addresses, const NeighbourProbePlan& plan,
        const std::function<bool()>& shouldStop)
        : plan_(plan)
        , shouldStop_(shouldStop)
        , answers_(addresses.size())
        , limit_(plan.inFlightLimit != 0 ? plan.inFlightLimit
                                         : std::max<std::size_t>(1, SystemTableLimit() / 2))
    {
        Classify(addresses);
    }

    std::vector<LinkAnswer> Run()
    {
        if (questions_.empty())
            return std::move(answers_);
        Result<rtnetlink::Socket> tables = rtnetlink::Socket::Open();
        // Subscribed before anything is sent, so that no answer slips by.
        Result<rtnetlink::Socket> listener = rtnetlink::Socket::Open(RTMGRP_NEIGH);
        const SocketHandle udp(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        if (!tables || !listener || !udp)
            return std::move(answers_);
        ReadTable(tables.Value(), true);
        Loop(tables.Value(), listener.Value(), udp);
        return std::move(answers_);
    }

private:
    void Classify(std::span<const std::uint32_t> addresses)
    {
        const auto interfaces = system_network::ReadNetworkInterfaces();
        if (!interfaces)
            return;
        for (std::size_t index = 0; index < addresses.size(); ++index) {
            const std::uint32_t address = addresses[index];
            for (const auto& link : interfaces.Value()) {
                if (!link.operational || link.loopback || link.hardwareAddress.size() != 6)
                    continue;
                for (const auto& own : link.addresses) {
                    const std::uint32_t host = address & ~own.netMask;
                    if ((address & own.netMask) != (own.address & own.netMask) || host == 0 ||
                        host == ~own.netMask)
                        continue;
                    answers_[index].onLink = true;
                    if (address == own.address) {
                        MacAddress mac{};
                        std::copy_n(link.hardwareAddress.begin(), mac.size(), mac.begin());
                        answers_[index].mac = mac;
                    } else {
                        const auto [at, added] = byAddress_.try_emplace(address, questions_.size());
                        if (added) {
                            Question question;
                            question.address = address;
                            questions_.push_back(std::move(question));
                        }
                        questions_[at->second].indexes.push_back(index);
                    }
                    break;
                }
                if (answers_[index].onLink)
                    break;
            }
        }
    }

    void Loop(rtnetlink::Socket& tables, rtnetlink::Socket& listener, const SocketHandle& udp)
    {
        nextSend_ = Clock::now();
        Clock::time_point nextRecheck = nextSend_ + kRecheckInterval;
        while (!shouldStop_()) {
            const Clock::time_point now = Clock::now();
            const bool mayGoOn = SendDue(udp, now);
            Expire(now);
            // Entries still unsettled matter only to requests yet to go.
            if (nextQueued_ >= questions_.size() && waiting_ == 0)
                return;
            if (now >= nextRecheck) {
                ReadTable(tables, false);
                nextRecheck = now + kRecheckInterval;
            }
            const auto until = std::min(
                {mayGoOn ? nextSend_ : Clock::time_point::max(), nextRecheck, NextExpiry()});
            if (WaitForNews(listener, until - now))
                Take(listener, tables);
        }
    }

    // Polls at most kPollSlice at a time, so that a stop is heard soon.
    static bool WaitForNews(rtnetlink::Socket& listener, Clock::duration wait)
    {
        constexpr auto kPollSlice = 10ms;
        const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(
            std::clamp<Clock::duration>(wait, Clock::duration::zero(), kPollSlice));
        const timespec timeout{0, static_cast<long>(nanoseconds.count())};
        pollfd ready{listener.Descriptor(), POLLIN, 0};
        return ppoll(&ready, 1, &timeout, nullptr) > 0;
    }

    void Take(rtnetlink::Socket& listener, rtnetlink::Socket& tables)
    {
        const Result<std::vector<rtnetlink::Message>> messages = listener.ReadMessages();
        if (messages)
            Take(messages.Value(), false);
        else
            ReadTable(tables, false);
    }

    // Sends the requests that are due, at the plan's pace and within the
    // limit; false when none may go until an entry settles.
    bool SendDue(const SocketHandle& udp, Clock::time_point now)
    {
        const Clock::duration spacing = plan_.rate == 0
            ? Clock::duration::zero()
            : std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) / plan_.rate;
        // Requests that fell behind their pace go out together, a few at most.
        nextSend_ = std::max(nextSend_, now - 8 * spacing);
        while (nextQueued_ < questions_.size() && now >= nextSend_) {
            if (unsettled_ >= limit_ || (plan_.rate == 0 && waiting_ > 0))
                return false;
            Question& question = questions_[nextQueued_];
            if (question.step == Question::Step::kQueued) {
                if (!Poke(udp, question.address)) {
                    // Our own entries will make room as they settle; when
                    // none of ours is left, others' entries fill the table,
                    // and after a while the address goes without an answer.
                    if (!fullSince_)
                        fullSince_ = now;
                    if (unsettled_ > 0 || now - *fullSince_ < kLongestHold) {
                        nextSend_ = now + kTableFullPause;
                        return true;
                    }
                    question.step = Question::Step::kDone;
                    ++nextQueued_;
                    continue;
                }
                fullSince_.reset();
                question.step = Question::Step::kWaiting;
                question.sentAt = now;
                ++waiting_;
                ++unsettled_;
                nextSend_ += spacing;
            }
            ++nextQueued_;
        }
        return nextQueued_ < questions_.size();
    }

    // False when the kernel had no room for the entry; any other failure
    // leaves the address without an answer.
    static bool Poke(const SocketHandle& udp, std::uint32_t address)
    {
        sockaddr_in target{};
        target.sin_family = AF_INET;
        target.sin_port = htons(kPokePort);
        target.sin_addr.s_addr = htonl(address);
        const ssize_t sent = sendto(
            udp.Get(), nullptr, 0, 0, reinterpret_cast<const sockaddr*>(&target), sizeof target);
        return sent == 0 || (errno != EINVAL && errno != ENOBUFS);
    }

    void ReadTable(rtnetlink::Socket& tables, bool before)
    {
        rtnetlink::Request request(RTM_GETNEIGH, NLM_F_DUMP);
        ndmsg filter{};
        filter.ndm_family = AF_INET;
        request.Append(filter);
        const Result<std::vector<rtnetlink::Message>> messages = tables.Dump(request);
        if (messages)
            Take(messages.Value(), before);
    }

    // Before anything is sent, only entries confirmed lately count.
    void Take(const std::vector<rtnetlink::Message>& messages, bool before)
    {
        for (const auto& message : messages) {
            const auto entry = system_network::ReadNeighbourEntry(message);
            if (!entry)
                continue;
            const auto found = byAddress_.find(entry->address);
            if (found == byAddress_.end())
                continue;
            // The entry's interface is the route's, which need not be the
            // one whose network holds the address.
            Question& question = questions_[found->second];
            if (before) {
                if ((entry->state & kAnsweredStates) != 0 && entry->mac &&
                    entry->confirmedAgo.value_or(kFreshEntry) < kFreshEntry)
                    Answer(question, *entry->mac);
                continue;
            }
            if (question.step == Question::Step::kQueued)
                continue;
            if (!entry->removed && (entry->state & kAnsweredStates) != 0 && entry->mac)
                Answer(question, *entry->mac);
            else if (entry->removed || (entry->state & NUD_FAILED) != 0)
                Settle(question);
        }
    }

    void Answer(Question& question, const MacAddress& mac)
    {
        for (const std::size_t index : question.indexes) {
            if (!answers_[index].mac)
                answers_[index].mac = mac;
        }
        // An entry known before is asked about again all the same, so that
        // the kernel confirms it for the next pass.
        if (question.step != Question::Step::kQueued)
            Settle(question);
    }

    void Settle(Question& question)
    {
        if (question.step == Question::Step::kWaiting)
            --waiting_;
        if (question.step == Question::Step::kWaiting || question.step == Question::Step::kHolding)
            --unsettled_;
        question.step = Question::Step::kDone;
    }

    void Expire(Clock::time_point now)
    {
        for (std::size_t i = firstOpen_; i < nextQueued_; ++i) {
            Question& question = questions_[i];
            if (question.step == Question::Step::kWaiting && now >= question.sentAt + plan_.wait) {
                question.step = Question::Step::kHolding;
                --waiting_;
            }
            if (question.step == Question::Step::kHolding && now >= question.sentAt + kLongestHold)
                Settle(question);
        }
        while (firstOpen_ < nextQueued_ && questions_[firstOpen_].step == Question::Step::kDone)
            ++firstOpen_;
    }

    Clock::time_point NextExpiry() const
    {
        Clock::time_point next = Clock::time_point::max();
        for (std::size_t i = firstOpen_; i < nextQueued_; ++i) {
            const Question& question = questions_[i];
            if (question.step == Question::Step::kWaiting)
                next = std::min(next, question.sentAt + plan_.wait);
            else if (question.step == Question::Step::kHolding)
                next = std::min(next, question.sentAt + kLongestHold);
        }
        return next;
    }

    const NeighbourProbePlan& plan_;
    const std::function<bool()>& shouldStop_;
    std::vector<LinkAnswer> answers_;
    const std::size_t limit_;
    std::vector<Question> questions_;
    std::unordered_map<std::uint32_t, std::size_t> byAddress_;
    std::size_t nextQueued_ = 0; // questions before it have been sent or settled
    std::size_t firstOpen_ = 0;  // questions before it are settled
    std::size_t waiting_ = 0;    // sent and not yet judged
    std::size_t unsettled_ = 0;  // sent and holding an unsettled entry
    Clock::time_point nextSend_;
    std::optional<Clock::time_point> fullSince_; // the table has refused since
};

} // namespace

std::vector<LinkAnswer> ProbeNeighbours(std::span<const std::uint32_t> addresses,
    const NeighbourProbePlan& plan, const std::function<bool()>& shouldStop)
{
    return NeighbourProber(addresses, plan, shouldStop).Run();
}

} // namespace pondel
