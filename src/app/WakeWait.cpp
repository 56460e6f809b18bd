#include "WakeWait.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <utility>

#include "ConsoleOutput.h"

namespace pondel {
namespace {

class WaitListener final : public WakeWatchListener {
public:
    explicit WaitListener(std::function<void(std::uint32_t)> onTick)
        : onTick_(std::move(onTick))
    {
    }

    void OnWakeTick(const WakeWatchKey&, std::uint32_t seconds) override
    {
        if (onTick_)
            onTick_(seconds);
    }
    void OnWakeEnded(const WakeWatchKey&, WakeWatchEnd end, std::uint32_t seconds) override
    {
        const std::scoped_lock lock(mutex_);
        result_ = WakeWaitResult{end, seconds};
        ended_.notify_all();
    }

    WakeWaitResult Wait()
    {
        std::unique_lock lock(mutex_);
        ended_.wait(lock, [this] { return result_.has_value(); });
        return *result_;
    }

private:
    std::function<void(std::uint32_t)> onTick_;
    std::mutex mutex_;
    std::condition_variable ended_;
    std::optional<WakeWaitResult> result_;
};

} // namespace

WakeWaitResult WaitForWakeUp(std::string ipAddr, const WakeWatchSettings& settings,
    WakeResend resend, std::function<void(std::uint32_t)> onTick, ProbeRunOpener openProbe)
{
    WaitListener listener(std::move(onTick));
    WakeWatcher watcher(listener, std::move(openProbe));
    watcher.SetSettings(settings);
    const WakeWatchKey key = ipAddr;
    watcher.Watch(key, std::move(ipAddr), std::move(resend));
    return listener.Wait();
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

int ConsoleWaitForWakeUp(
    const std::string& ipAddr, std::uint32_t seconds, WakeWatchSettings watch, WakeResend resend)
{
    watch.timeout = std::chrono::seconds(seconds);
    const bool terminal = StandardOutputIsTerminal();
    const auto tick = [terminal](std::uint32_t elapsed) {
        if (terminal)
            (void)WriteToConsole("\rwaking " + std::to_string(elapsed) + " s ");
    };
    tick(0);
    const WakeWaitResult result = WaitForWakeUp(ipAddr, watch, std::move(resend), tick);
    // On the terminal the outcome covers the count it replaces.
    (void)WriteToConsole(
        terminal ? "\r" + WakeWaitText(result) + "      \n" : WakeWaitText(result) + "\n");
    return result.end == WakeWatchEnd::kUp ? 1 : kWakeNoAnswer;
}

} // namespace pondel
