#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "AppSettings.h"
#include "HostProbe.h"
#include "ProbeRun.h"

namespace pondel {

// How woken hosts are watched: WAKE_CONFIRM_INTERVAL, WAKE_CONFIRM_TIMEOUT
// and WAKE_RESEND_SECONDS, probing as a status pass does.
struct WakeWatchSettings {
    ProbeSettings probe;
    std::chrono::milliseconds interval{1000};
    std::chrono::seconds timeout{180}; // 0: woken hosts are not watched
    std::chrono::seconds resend{0};    // 0: the packets go out once
};

[[nodiscard]] WakeWatchSettings WakeWatchSettingsOf(const AppSettings& settings);

// A watched host by what stays the same while its row moves: its address
// and MAC texts (WakeWatchKeyOf), not its place in a list.
using WakeWatchKey = std::string;

[[nodiscard]] WakeWatchKey WakeWatchKeyOf(std::string_view ipAddr, std::string_view macAddr);

// Sends a host's wake-up again; runs on the watcher's thread, and a stop
// request there asks it to end early.
using WakeResend = std::function<void(std::stop_token)>;

enum class WakeWatchEnd {
    kUp,       // the host answered
    kNoAnswer, // the time ran out
};

// What the watcher tells; the calls come on its thread, one at a time, and
// must not block.
class WakeWatchListener {
public:
    virtual ~WakeWatchListener() = default;

    // The host is still waking, `seconds` after its wake-up.
    virtual void OnWakeTick(const WakeWatchKey& key, std::uint32_t seconds) = 0;
    // The host's watch ended; it is no longer watched.
    virtual void OnWakeEnded(const WakeWatchKey& key, WakeWatchEnd end, std::uint32_t seconds) = 0;
};

// Probes each woken host every interval, off the caller's thread, until it
// answers or the timeout passes, and sends its wake-up again every resend
// period meanwhile. Rounds probe every watched host at once, the first one
// as soon as a host is added. Stop (or the destructor) ends the thread
// within one probe's time.
class WakeWatcher final {
public:
    WakeWatcher(WakeWatchListener& listener, ProbeRunOpener openProbe = OpenProbeRun);
    ~WakeWatcher();
    WakeWatcher(const WakeWatcher&) = delete;
    WakeWatcher& operator=(const WakeWatcher&) = delete;

    // Used for the hosts watched from then on.
    void SetSettings(const WakeWatchSettings& settings);

    // Watches the host at `ipAddr` from now on; a host already watched
    // starts again, as after a new wake-up.
    void Watch(const WakeWatchKey& key, std::string ipAddr, WakeResend resend = {});
    // Stops watching a host and returns the seconds since its wake-up; none
    // when it was not watched. No news of it follows.
    std::optional<std::uint32_t> Forget(const WakeWatchKey& key);
    [[nodiscard]] bool IsWatching(const WakeWatchKey& key);

    // Ends all watching; returns once the thread has ended.
    void Stop();

private:
    using Clock = std::chrono::steady_clock;

    struct WatchedHost {
        std::string ipAddr;
        WakeResend resend;
        WakeWatchSettings settings;
        Clock::time_point started;
        Clock::time_point lastSent;
        std::uint32_t lastTick = 0;
        // Bumped by every Watch of the key, so that a round's verdict on an
        // earlier watch is not taken for the new one.
        std::uint64_t generation = 0;
    };
    struct Target {
        WakeWatchKey key;
        std::string ipAddr;
        std::uint64_t generation = 0;
    };

    void Run(std::stop_token stop);
    [[nodiscard]] std::vector<Target> Targets();
    [[nodiscard]] std::vector<bool> ProbeRound(
        const std::vector<Target>& targets, const ProbeSettings& settings, std::stop_token stop);
    void Judge(const std::vector<Target>& targets, const std::vector<bool>& answered);
    void ResendDue(std::stop_token stop);
    [[nodiscard]] static std::uint32_t SecondsSince(Clock::time_point start, Clock::time_point now);

    WakeWatchListener& listener_;
    ProbeRunOpener openProbe_;

    std::mutex mutex_;
    std::condition_variable_any changed_;
    WakeWatchSettings settings_;
    std::map<WakeWatchKey, WatchedHost> watches_;
    std::uint64_t nextGeneration_ = 1;
    bool added_ = false;
    std::jthread thread_;
};

} // namespace pondel
