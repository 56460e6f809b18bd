#pragma once

#include <algorithm>
#include <chrono>

#include <QTimer>

namespace pondel::test {

// How long the event loop of this thread went without running: a timer that
// is due every few milliseconds measures the gaps between its calls. What it
// reports includes the timer's own period and, in tests, the up to 10 ms
// that QTest::qWait sleeps between its turns of the loop.
class Heartbeat final {
public:
    Heartbeat()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Beat(); });
        Restart();
        timer_.start(kPeriod);
    }

    // Forgets the gaps so far; the next one is measured from now.
    void Restart()
    {
        last_ = Clock::now();
        longest_ = {};
    }

    // The longest gap so far, the one still open included.
    [[nodiscard]] std::chrono::milliseconds Longest() const
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::max(longest_, Clock::now() - last_));
    }

private:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kPeriod{2};

    void Beat()
    {
        const Clock::time_point now = Clock::now();
        longest_ = std::max(longest_, now - last_);
        last_ = now;
    }

    QTimer timer_;
    Clock::time_point last_;
    Clock::duration longest_{};
};

} // namespace pondel::test
