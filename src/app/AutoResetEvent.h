#pragma once

#include <condition_variable>
#include <mutex>

namespace pondel {

// An event that lets one waiter through per signal and then closes again by
// itself. Signals given while it is already open merge into one.
class AutoResetEvent final {
public:
    AutoResetEvent() = default;
    AutoResetEvent(const AutoResetEvent&) = delete;
    AutoResetEvent& operator=(const AutoResetEvent&) = delete;

    // Opens the event, waking one waiter.
    void Set();
    // Closes it, dropping a signal nobody has taken yet.
    void Reset();
    // Blocks until the event is open, then closes it.
    void Wait();

private:
    std::mutex mutex_;
    std::condition_variable signalled_;
    bool open_ = false;
};

} // namespace pondel
