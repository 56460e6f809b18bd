// The temporary neighbour entry, or the watch on the entry, behind the
// wake-up's unicast datagram on Linux. Adding an entry needs CAP_NET_ADMIN;
// watching needs nothing.
#include "UnicastNeighbour.h"

#include <algorithm>
#include <fstream>
#include <optional>

#include <arpa/inet.h>
#include <net/if.h>
#include <sys/socket.h>

#include "NeighbourTable.h"
#include "RtNetlink.h"
#include "SystemError.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;
using system_network::NeighbourAnswer;

// Bounds on how long the kernel's address resolution is waited for.
constexpr std::chrono::milliseconds kShortestWait = 100ms;
constexpr std::chrono::milliseconds kLongestWait = 10s;
// Room for the kernel's timer to fire after its last request.
constexpr std::chrono::milliseconds kWaitMargin = 500ms;

long ReadNeighbourSetting(const std::string& interfaceName, const char* key, long fallback)
{
    std::ifstream file("/proc/sys/net/ipv4/neigh/" + interfaceName + "/" + key);
    long value = fallback;
    if (!(file >> value) || value < 0)
        return fallback;
    return value;
}

// How long the kernel asks the link before it gives up on an address: its
// requests of every kind times the time between them, from the interface's
// own settings.
std::chrono::milliseconds ResolutionTime(int interfaceIndex)
{
    char name[IF_NAMESIZE] = {};
    if (if_indextoname(static_cast<unsigned>(interfaceIndex), name) == nullptr)
        return 3s + kWaitMargin;
    const long requests = ReadNeighbourSetting(name, "ucast_solicit", 3) +
        ReadNeighbourSetting(name, "app_solicit", 0) +
        ReadNeighbourSetting(name, "mcast_solicit", 3);
    const long gap = ReadNeighbourSetting(name, "retrans_time_ms", 1000);
    const std::chrono::milliseconds wait{std::min(requests * gap, long{kLongestWait.count()})};
    return std::clamp(wait + kWaitMargin, kShortestWait, kLongestWait);
}

} // namespace

struct UnicastNeighbour::State {
    enum class Mode : std::uint8_t {
        kNothingToDo, // not on a link of ours, or the table cannot be used
        kKnown,       // the kernel already has a usable entry
        kAdded,       // our temporary entry
        kWatched,     // no entry could be added: the entry is watched
    };

    std::uint32_t address = 0;
    MacAddress mac{};
    int interfaceIndex = 0;
    Mode mode = Mode::kNothingToDo;
    int addError = 0; // why no entry could be added
    std::optional<rtnetlink::Socket> tables;
    std::optional<rtnetlink::Socket> listener;

    Result<void> ChangeEntry(std::uint16_t type, std::uint16_t flags)
    {
        rtnetlink::Request request(type, flags);
        ndmsg entry{};
        entry.ndm_family = AF_INET;
        entry.ndm_ifindex = interfaceIndex;
        entry.ndm_state = NUD_REACHABLE;
        request.Append(entry);
        const std::uint32_t destination = htonl(address);
        request.AddAttribute(NDA_DST, &destination, sizeof destination);
        if (type == RTM_NEWNEIGH)
            request.AddAttribute(NDA_LLADDR, mac.data(), mac.size());
        return tables->Command(request);
    }

    // A reachable entry for the host's MAC, replacing an incomplete or
    // failed one; it ages like any learnt entry should the process die.
    Result<void> AddEntry() { return ChangeEntry(RTM_NEWNEIGH, NLM_F_CREATE | NLM_F_REPLACE); }
};

UnicastNeighbour::UnicastNeighbour(std::uint32_t address, const MacAddress& mac)
    : state_(std::make_unique<State>())
{
    State& state = *state_;
    state.address = address;
    state.mac = mac;
    Result<rtnetlink::Socket> tables = rtnetlink::Socket::Open();
    // Subscribed before anything is sent, so that no answer can slip by.
    Result<rtnetlink::Socket> listener = rtnetlink::Socket::Open(RTMGRP_NEIGH);
    if (!tables || !listener)
        return;
    state.tables.emplace(std::move(tables.Value()));
    state.listener.emplace(std::move(listener.Value()));
    const std::optional<int> link = system_network::DirectLinkInterface(*state.tables, address);
    if (!link || !system_network::LinkResolvesNeighbours(*state.tables, *link))
        return;
    state.interfaceIndex = *link;

    const NeighbourAnswer known = system_network::LookInTable(*state.tables, address, *link);
    if (known.kind == NeighbourAnswer::Kind::kFound) {
        state.mode = State::Mode::kKnown;
        return;
    }
    const Result<void> added = state.AddEntry();
    state.mode = added ? State::Mode::kAdded : State::Mode::kWatched;
    if (!added)
        state.addError = added.Error().code;
}

UnicastNeighbour::~UnicastNeighbour()
{
    // The entry was for this wake-up only.
    if (state_->mode == State::Mode::kAdded)
        (void)state_->ChangeEntry(RTM_DELNEIGH, 0);
}

void UnicastNeighbour::Renew()
{
    // An entry left alone would go stale and then be probed, and a host
    // that sleeps fails the probes.
    if (state_->mode == State::Mode::kAdded)
        (void)state_->AddEntry();
}

UnicastNeighbour::Outcome UnicastNeighbour::Settle(std::stop_token stop)
{
    State& state = *state_;
    if (state.mode != State::Mode::kWatched)
        return Outcome::kLeft;
    const auto deadline = std::chrono::steady_clock::now() + ResolutionTime(state.interfaceIndex);
    const NeighbourAnswer answer = system_network::AwaitNeighbour(
        *state.tables, *state.listener, state.address, state.interfaceIndex, deadline, stop);
    switch (answer.kind) {
    case NeighbourAnswer::Kind::kFound:
        return Outcome::kLeft;
    case NeighbourAnswer::Kind::kFailed:
        return Outcome::kDropped;
    case NeighbourAnswer::Kind::kPending:
        break;
    }
    return Outcome::kUnknown;
}

std::string UnicastNeighbour::Reason() const
{
    std::string reason = "the host did not answer address resolution";
    if (state_->addError != 0)
        reason +=
            " and no neighbour entry could be added (" + GetSystemErrorText(state_->addError) + ")";
    return reason;
}

} // namespace pondel
