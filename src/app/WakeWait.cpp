#include "WakeWait.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <utility>

#include "ConsoleOutput.h"

namespace pondel {
namespace {

// Hears the watcher's news of every host waited for; Wait returns once each
// has ended.
class WaitListener final : public WakeWatchListener {
public:
    WaitListener(std::size_t hosts, std::function<void(std::uint32_t)> onTick)
        : hosts_(hosts)
        , onTick_(std::move(onTick))
    {
    }

    // The watcher calls one at a time on its own thread, so lastTick_ is
    // only ever touched there.
    void OnWakeTick(const WakeWatchKey&, std::uint32_t seconds) override
    {
        if (seconds <= lastTick_)
            return;
        lastTick_ = seconds;
        if (onTick_)
            onTick_(seconds);
    }
    void OnWakeEnded(const WakeWatchKey& key, WakeWatchEnd end, std::uint32_t seconds) override
    {
        const std::scoped_lock lock(mutex_);
        results_[key] = WakeWaitResult{end, seconds};
        if (results_.size() == hosts_)
            ended_.notify_all();
    }

    std::map<WakeWatchKey, WakeWaitResult> Wait()
    {
        std::unique_lock lock(mutex_);
        ended_.wait(lock, [this] { return results_.size() == hosts_; });
        return results_;
    }

private:
    const std::size_t hosts_;
    std::function<void(std::uint32_t)> onTick_;
    std::uint32_t lastTick_ = 0;
    std::mutex mutex_;
    std::condition_variable ended_;
    std::map<WakeWatchKey, WakeWaitResult> results_;
};

} // namespace

std::vector<WakeWaitResult> WaitForWakeUps(std::vector<WakeWaitHost> hosts,
    const WakeWatchSettings& settings, std::function<void(std::uint32_t)> onTick,
    ProbeRunOpener openProbe)
{
    // A host listed twice is watched once and told twice.
    std::set<WakeWatchKey> keys;
    for (const WakeWaitHost& host : hosts)
        keys.insert(host.key);
    if (keys.empty())
        return {};
    WaitListener listener(keys.size(), std::move(onTick));
    std::map<WakeWatchKey, WakeWaitResult> results;
    {
        WakeWatcher watcher(listener, std::move(openProbe));
        watcher.SetSettings(settings);
        for (WakeWaitHost& host : hosts) {
            if (keys.erase(host.key) != 0)
                watcher.Watch(host.key, std::move(host.ipAddr), std::move(host.resend));
        }
        results = listener.Wait();
    }
    std::vector<WakeWaitResult> inOrder;
    inOrder.reserve(hosts.size());
    for (const WakeWaitHost& host : hosts)
        inOrder.push_back(results.at(host.key));
    return inOrder;
}

WakeWaitResult WaitForWakeUp(std::string ipAddr, const WakeWatchSettings& settings,
    WakeResend resend, std::function<void(std::uint32_t)> onTick, ProbeRunOpener openProbe)
{
    std::vector<WakeWaitHost> hosts;
    hosts.push_back({ipAddr, ipAddr, std::move(resend)});
    return WaitForWakeUps(std::move(hosts), settings, std::move(onTick), std::move(openProbe))
        .front();
}

std::string WakeWaitText(const WakeWaitResult& result)
{
    const char* lead = result.end == WakeWatchEnd::kUp ? "up after " : "no answer after ";
    return lead + std::to_string(result.seconds) + " s";
}

std::optional<std::uint32_t> ParseWaitSeconds(const std::string& text)
{
    if (text.empty() || text.size() > 4 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const auto seconds = static_cast<std::uint32_t>(std::stoul(text));
    if (seconds < 1 || seconds > kWakeConfirmTimeoutRange.maximum)
        return std::nullopt;
    return seconds;
}

std::vector<WakeWaitResult> ConsoleWaitForWakeUps(std::vector<WakeWaitHost> hosts,
    std::uint32_t seconds, WakeWatchSettings watch,
    const std::function<std::string(std::size_t, const WakeWaitResult&)>& lineOf)
{
    watch.timeout = std::chrono::seconds(seconds);
    const bool terminal = StandardOutputIsTerminal();
    const auto tick = [terminal](std::uint32_t elapsed) {
        if (terminal)
            (void)WriteToConsole("\rwaking " + std::to_string(elapsed) + " s ");
    };
    tick(0);
    const std::vector<WakeWaitResult> results = WaitForWakeUps(std::move(hosts), watch, tick);
    // On the terminal the first outcome covers the count it replaces.
    std::string text;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const std::string line = lineOf(i, results[i]);
        text += terminal && i == 0 ? "\r" + line + "      \n" : line + "\n";
    }
    (void)WriteToConsole(text);
    return results;
}

int ConsoleWaitForWakeUp(
    const std::string& ipAddr, std::uint32_t seconds, WakeWatchSettings watch, WakeResend resend)
{
    std::vector<WakeWaitHost> hosts;
    hosts.push_back({ipAddr, ipAddr, std::move(resend)});
    const std::vector<WakeWaitResult> results =
        ConsoleWaitForWakeUps(std::move(hosts), seconds, std::move(watch),
            [](std::size_t, const WakeWaitResult& result) { return WakeWaitText(result); });
    return results.front().end == WakeWatchEnd::kUp ? 1 : kWakeNoAnswer;
}

} // namespace pondel
