#include <atomic>
#include <chrono>
#include <future>
#include <optional>
#include <utility>
#include <vector>

#include "Ipv4Text.h"
#include "ProbeRun.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;

// How often a stop is looked for while the link is still being asked.
constexpr auto kStopCheckInterval = 5ms;
// Runs of more targets than this may have lost echo requests to a full
// neighbour table (see EchoAgain).
constexpr std::uint64_t kEchoLossCount = 256;

// Takes the echo verdicts as they come and holds them until the link's
// answers are in too; stops are passed on to the thread that asks the link.
class LinkRunEvents final : public ProbeRunEvents {
public:
    LinkRunEvents(ProbeRunEvents& events, std::uint64_t count)
        : events_(events)
        , echoed_(count)
    {
    }

    std::string TargetOf(std::uint64_t index) override { return events_.TargetOf(index); }
    bool ShouldStop() override
    {
        if (events_.ShouldStop())
            stopped_ = true;
        return stopped_;
    }
    void OnProbed(std::uint64_t index) override { events_.OnProbed(index); }
    void OnAnswer(std::uint64_t index, bool answered) override { echoed_[index] = answered; }
    void SetEchoed(std::uint64_t index) { echoed_[index] = true; }

    [[nodiscard]] bool Stopped() const noexcept { return stopped_; }
    [[nodiscard]] const std::vector<std::optional<bool>>& Echoed() const noexcept
    {
        return echoed_;
    }

private:
    ProbeRunEvents& events_;
    std::vector<std::optional<bool>> echoed_;
    std::atomic<bool> stopped_{false};
};

// A second echo run over some targets of the first; only answers count.
class AgainEvents final : public ProbeRunEvents {
public:
    AgainEvents(LinkRunEvents& run, std::vector<std::uint64_t> indexes)
        : run_(run)
        , indexes_(std::move(indexes))
    {
    }

    std::string TargetOf(std::uint64_t index) override { return run_.TargetOf(indexes_[index]); }
    bool ShouldStop() override { return run_.ShouldStop(); }
    void OnProbed(std::uint64_t) override { }
    void OnAnswer(std::uint64_t index, bool answered) override
    {
        if (answered)
            run_.SetEchoed(indexes_[index]);
    }

private:
    LinkRunEvents& run_;
    const std::vector<std::uint64_t> indexes_;
};

// The echo requests of a large run create neighbour entries as fast as
// they go out, and those the full table refused never left; the paced ARP
// requests got through. The hosts that answered only ARP are asked by echo
// once more, now that the kernel knows them, so that they are not taken for
// hosts that drop ping.
void EchoAgain(const ProbeRun& echo, LinkRunEvents& run, const std::vector<LinkAnswer>& answers)
{
    if (answers.size() <= kEchoLossCount || run.Stopped())
        return;
    std::vector<std::uint64_t> indexes;
    for (std::uint64_t index = 0; index < answers.size(); ++index) {
        if (run.Echoed()[index] == false && answers[index].mac)
            indexes.push_back(index);
    }
    if (indexes.empty())
        return;
    AgainEvents again(run, indexes);
    echo(indexes.size(), again);
}

std::vector<std::uint32_t> LinkAddresses(ProbeRunEvents& events, std::uint64_t count)
{
    // Host names are left to the echo: only an address can be on the link
    // without asking the resolver first.
    std::vector<std::uint32_t> addresses(count);
    for (std::uint64_t index = 0; index < count; ++index) {
        const std::uint32_t address = TextToIp(events.TargetOf(index));
        addresses[index] = address == kInvalidIp ? 0 : address;
    }
    return addresses;
}

} // namespace

HostVerdict JudgeHost(bool echoed, const LinkAnswer& link, std::string_view rowMac)
{
    MacAddress expected{};
    if (link.mac && ParseMacAddress(rowMac, expected) == 0 && expected != *link.mac)
        return {false, HostLinkState::kAnotherMachine};
    if (echoed)
        return {true, HostLinkState::kEchoOnly};
    if (link.mac)
        return {true, HostLinkState::kUpNoPing};
    return {};
}

void StoreVerdict(tHostInfo& host, const HostVerdict& verdict, const LinkAnswer& link)
{
    host.active = verdict.active ? 1 : 0;
    host.linkState = static_cast<std::int32_t>(verdict.linkState);
    SetField(host.answeredMac, link.mac ? FormatMacAddress(*link.mac) : std::string());
}

ProbeRun WithLinkProbe(ProbeRun echo, const ProbeSettings& settings)
{
    const NeighbourProbePlan plan{std::chrono::milliseconds(settings.timeOut), settings.rate};
    return [echo = std::move(echo), plan](std::uint64_t count, ProbeRunEvents& events) {
        LinkRunEvents combined(events, count);
        const std::vector<std::uint32_t> addresses = LinkAddresses(events, count);
        const std::function<bool()> stopped = [&combined] { return combined.Stopped(); };
        auto link = std::async(std::launch::async,
            [&addresses, &plan, &stopped] { return ProbeNeighbours(addresses, plan, stopped); });
        echo(count, combined);
        while (link.wait_for(kStopCheckInterval) != std::future_status::ready)
            static_cast<void>(combined.ShouldStop());
        const std::vector<LinkAnswer> answers = link.get();
        EchoAgain(echo, combined, answers);
        for (std::uint64_t index = 0; index < count; ++index) {
            if (combined.Echoed()[index])
                events.OnLinkAnswer(index, *combined.Echoed()[index], answers[index]);
        }
    };
}

} // namespace pondel
