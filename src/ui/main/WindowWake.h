#pragma once

#include <map>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include <QObject>
#include <QPointer>

#include "CLastWakeDlg.h"
#include "WakeCommands.h"

namespace pondel {

class CPondelDlg;

// The window's wake-ups. The questions and refusals come on the window's
// thread; the packets go out on a worker of each wake-up's own, which hands
// its reports back by a queued call. Then the status bar tells what was
// sent, the Last Wake view shows every datagram and frame, and FinishWake
// tells the failures and follows the wake up.
class WindowWake final : public QObject {
public:
    explicit WindowWake(CPondelDlg& window);
    // Stop.
    ~WindowWake() override;
    WindowWake(const WindowWake&) = delete;
    WindowWake& operator=(const WindowWake&) = delete;

    // Returns once the requests are handed to the worker.
    void Wake(const std::vector<int>& rows, bool broadcast, WakeContext context);
    // Ends every wake-up after its round in progress; their ends are not
    // acted on.
    void Stop();
    [[nodiscard]] bool Running() const noexcept { return !running_.empty(); }

    // Opens the Last Wake view, or brings it to the front.
    void ShowLastWake();

private:
    struct RunningWake {
        WakeBatch batch;
        std::optional<WakeContext> context;
        std::jthread worker;
    };

    void OnWakeSent(int id);
    void Ended(const WakeBatch& batch, WakeContext& context);

    CPondelDlg& window_;
    std::map<int, std::unique_ptr<RunningWake>> running_;
    int nextId_ = 0;
    std::optional<WakeBatch> lastWake_;
    QPointer<CLastWakeDlg> lastWakeView_;
};

} // namespace pondel
