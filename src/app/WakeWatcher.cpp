#include "WakeWatcher.h"

#include <utility>

#include "Icmp.h"

namespace pondel {
namespace {

// Hands a round's targets to the probe run and collects its verdicts.
class RoundEvents final : public ProbeRunEvents {
public:
    RoundEvents(const std::vector<std::string>& addresses, std::vector<std::string_view> macs,
        std::stop_token stop)
        : addresses_(addresses)
        , macs_(std::move(macs))
        , stop_(std::move(stop))
        , answered_(addresses.size(), false)
    {
    }

    std::string TargetOf(std::uint64_t index) override { return addresses_.at(index); }
    bool ShouldStop() override { return stop_.stop_requested(); }
    void OnProbed(std::uint64_t) override { }
    void OnAnswer(std::uint64_t index, bool answered) override { answered_.at(index) = answered; }
    // A host counts as up as a pass would show it: an address that another
    // machine's MAC answers for is not the woken host.
    void OnLinkAnswer(std::uint64_t index, bool echoed, const LinkAnswer& link) override
    {
        answered_.at(index) = JudgeHost(echoed, link, macs_.at(index)).active;
    }

    std::vector<bool> Answered() && { return std::move(answered_); }

private:
    const std::vector<std::string>& addresses_;
    std::vector<std::string_view> macs_;
    std::stop_token stop_;
    std::vector<bool> answered_;
};

// The system ping, one host after another: what a pass falls back to when
// no ICMP socket can be had.
ProbeRun FallbackRun(std::uint32_t timeOut)
{
    return SequentialProbeRun(
        [timeOut](std::string_view ip) { return PingCommand(ip, timeOut) == 0; });
}

// The MAC address text a key was made of (see WakeWatchKeyOf).
std::string_view MacOfKey(const WakeWatchKey& key)
{
    const std::size_t blank = key.find(' ');
    return blank == WakeWatchKey::npos ? std::string_view()
                                       : std::string_view(key).substr(blank + 1);
}

} // namespace

WakeWatchSettings WakeWatchSettingsOf(const AppSettings& settings)
{
    return {StatusProbeSettings(settings), std::chrono::milliseconds(settings.wakeConfirmInterval),
        std::chrono::seconds(settings.wakeConfirmTimeout),
        std::chrono::seconds(settings.wakeResendSeconds)};
}

WakeWatchKey WakeWatchKeyOf(std::string_view ipAddr, std::string_view macAddr)
{
    WakeWatchKey key(ipAddr);
    key += ' ';
    key += macAddr;
    return key;
}

WakeWatcher::WakeWatcher(WakeWatchListener& listener, ProbeRunOpener openProbe)
    : listener_(listener)
    , openProbe_(std::move(openProbe))
{
}

WakeWatcher::~WakeWatcher()
{
    Stop();
}

void WakeWatcher::SetSettings(const WakeWatchSettings& settings)
{
    const std::scoped_lock lock(mutex_);
    settings_ = settings;
}

void WakeWatcher::Watch(const WakeWatchKey& key, std::string ipAddr, WakeResend resend)
{
    {
        const std::scoped_lock lock(mutex_);
        const Clock::time_point now = Clock::now();
        watches_[key] = {
            std::move(ipAddr), std::move(resend), settings_, now, now, 0, nextGeneration_++};
        added_ = true;
        if (!thread_.joinable())
            thread_ = std::jthread([this](std::stop_token stop) { Run(std::move(stop)); });
    }
    changed_.notify_all();
}

std::optional<std::uint32_t> WakeWatcher::Forget(const WakeWatchKey& key)
{
    const std::scoped_lock lock(mutex_);
    const auto found = watches_.find(key);
    if (found == watches_.end())
        return std::nullopt;
    const std::uint32_t seconds = SecondsSince(found->second.started, Clock::now());
    watches_.erase(found);
    return seconds;
}

bool WakeWatcher::IsWatching(const WakeWatchKey& key)
{
    const std::scoped_lock lock(mutex_);
    return watches_.contains(key);
}

void WakeWatcher::Stop()
{
    std::jthread thread;
    {
        const std::scoped_lock lock(mutex_);
        thread = std::move(thread_);
        watches_.clear();
    }
    // Joined outside the lock, which the thread takes between its steps.
    thread.request_stop();
    changed_.notify_all();
}

std::uint32_t WakeWatcher::SecondsSince(Clock::time_point start, Clock::time_point now)
{
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::seconds>(now - start).count());
}

void WakeWatcher::Run(std::stop_token stop)
{
    while (!stop.stop_requested()) {
        const std::vector<Target> targets = Targets();
        ProbeSettings probe;
        Clock::duration interval;
        {
            const std::scoped_lock lock(mutex_);
            probe = settings_.probe;
            interval = settings_.interval;
        }
        const Clock::time_point roundStart = Clock::now();
        if (!targets.empty()) {
            const std::vector<bool> answered = ProbeRound(targets, probe, stop);
            if (stop.stop_requested())
                return;
            Judge(targets, answered);
            ResendDue(stop);
        }
        // The next round comes one interval after this one began, or at once
        // when a host is added; with nothing to watch the thread sleeps.
        std::unique_lock lock(mutex_);
        const auto due = [this] { return added_; };
        if (watches_.empty())
            changed_.wait(lock, stop, due);
        else
            changed_.wait_until(lock, stop, roundStart + interval, due);
        added_ = false;
    }
}

std::vector<WakeWatcher::Target> WakeWatcher::Targets()
{
    const std::scoped_lock lock(mutex_);
    std::vector<Target> targets;
    targets.reserve(watches_.size());
    for (const auto& [key, watch] : watches_)
        targets.push_back({key, watch.ipAddr, watch.generation});
    return targets;
}

std::vector<bool> WakeWatcher::ProbeRound(
    const std::vector<Target>& targets, const ProbeSettings& settings, std::stop_token stop)
{
    std::vector<std::string> addresses;
    std::vector<std::string_view> macs;
    addresses.reserve(targets.size());
    for (const Target& target : targets) {
        addresses.push_back(target.ipAddr);
        macs.push_back(MacOfKey(target.key));
    }
    Result<ProbeRun> opened = openProbe_(settings);
    const ProbeRun run = opened ? std::move(opened).Value() : FallbackRun(settings.timeOut);
    RoundEvents events(addresses, std::move(macs), std::move(stop));
    run(addresses.size(), events);
    return std::move(events).Answered();
}

void WakeWatcher::Judge(const std::vector<Target>& targets, const std::vector<bool>& answered)
{
    const Clock::time_point now = Clock::now();
    for (std::size_t i = 0; i < targets.size(); ++i) {
        std::optional<WakeWatchEnd> end;
        std::uint32_t seconds = 0;
        {
            const std::scoped_lock lock(mutex_);
            const auto found = watches_.find(targets[i].key);
            // Forgotten or watched anew while the round ran.
            if (found == watches_.end() || found->second.generation != targets[i].generation)
                continue;
            WatchedHost& watch = found->second;
            seconds = SecondsSince(watch.started, now);
            if (answered[i])
                end = WakeWatchEnd::kUp;
            else if (now - watch.started >= watch.settings.timeout)
                end = WakeWatchEnd::kNoAnswer;
            if (end)
                watches_.erase(found);
            else if (seconds == watch.lastTick)
                continue;
            else
                watch.lastTick = seconds;
        }
        // Told without the lock: the listener may call back.
        if (end)
            listener_.OnWakeEnded(targets[i].key, *end, seconds);
        else
            listener_.OnWakeTick(targets[i].key, seconds);
    }
}

void WakeWatcher::ResendDue(std::stop_token stop)
{
    std::vector<WakeResend> due;
    {
        const std::scoped_lock lock(mutex_);
        const Clock::time_point now = Clock::now();
        for (auto& [key, watch] : watches_) {
            const auto period = watch.settings.resend;
            if (period.count() == 0 || !watch.resend || now - watch.lastSent < period)
                continue;
            watch.lastSent = now;
            due.push_back(watch.resend);
        }
    }
    for (const WakeResend& resend : due) {
        if (stop.stop_requested())
            return;
        resend(stop);
    }
}

} // namespace pondel
