#include "ProbeRun.h"

#include <memory>
#include <string>
#include <utility>

#include "EchoBatch.h"
#include "ParallelPings.h"
#include "SystemError.h"

namespace pondel {
namespace {

// Hands the batch's questions and news on to the run's caller.
class EchoRunEvents final : public EchoBatchEvents {
public:
    explicit EchoRunEvents(ProbeRunEvents& events)
        : events_(events)
    {
    }

    std::optional<std::uint32_t> AddressOf(std::uint64_t index) override
    {
        return ResolveEchoTarget(events_.TargetOf(index));
    }
    bool ShouldStop() override { return events_.ShouldStop(); }
    void OnSent(std::uint64_t index) override { events_.OnProbed(index); }
    void OnResult(std::uint64_t index, bool answered) override
    {
        events_.OnAnswer(index, answered);
    }

private:
    ProbeRunEvents& events_;
};

ProbeRun PingRun(const ProbeSettings& settings)
{
    const std::uint32_t timeOut = settings.timeOut;
    const unsigned width = settings.rate == 0 ? 1 : kParallelPings;
    return [timeOut, width](std::uint64_t count, ProbeRunEvents& events) {
        const HostProbe ping = [timeOut](
                                   std::string_view ip) { return PingCommand(ip, timeOut) == 0; };
        RunParallelPings(count, events, ping, width);
    };
}

Result<ProbeRun> OpenEchoRun(const ProbeSettings& settings)
{
    if (settings.method == ProbeMethod::kSystemPing)
        return PingRun(settings);

    Result<IcmpSocket> opened = IcmpOpen();
    if (!opened) {
        const int error = opened.Error().code;
        return ErrorInfo{error,
            "ICMP_Init(): error:(" + std::to_string(static_cast<unsigned int>(error)) + ")" +
                GetSystemErrorText(error)};
    }
    auto socket = std::make_shared<const IcmpSocket>(std::move(opened).Value());
    const EchoBatchPlan plan{0, std::chrono::milliseconds(settings.timeOut), settings.rate};
    return ProbeRun([socket, plan](std::uint64_t count, ProbeRunEvents& events) {
        EchoBatchPlan run = plan;
        run.count = count;
        EchoRunEvents adapter(events);
        RunEchoBatch(*socket, run, adapter);
    });
}

} // namespace

Result<ProbeRun> OpenProbeRun(const ProbeSettings& settings)
{
    Result<ProbeRun> echo = OpenEchoRun(settings);
    if (!echo || !settings.askLink)
        return echo;
    return WithLinkProbe(std::move(echo).Value(), settings);
}

ProbeRun SequentialProbeRun(HostProbe probe)
{
    return [probe = std::move(probe)](std::uint64_t count, ProbeRunEvents& events) {
        for (std::uint64_t index = 0; index < count && !events.ShouldStop(); ++index) {
            const std::string target = events.TargetOf(index);
            events.OnProbed(index);
            events.OnAnswer(index, probe(target));
        }
    };
}

} // namespace pondel
