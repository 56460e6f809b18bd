#pragma once

#include "AppSettings.h"

class QTimer;

namespace pondel {

class CPondelDlg;
class WindowWorkers;

// The timer that asks for a status pass every TIMER_INTERVAL seconds while
// AUTO_REFRESH is on.
class AutoRefresh final {
public:
    AutoRefresh(CPondelDlg& window, AppSettings& settings, WindowWorkers& workers);
    AutoRefresh(const AutoRefresh&) = delete;
    AutoRefresh& operator=(const AutoRefresh&) = delete;

    // Starts or stops the timer as AUTO_REFRESH says.
    void FollowSetting();
    // The commands: a start asks for a pass at once; a stop ends the pass
    // under way. Both store AUTO_REFRESH.
    void Start();
    void Stop();
    [[nodiscard]] bool Running() const;
    // A changed interval counts from now.
    void Restart();
    // The window closes: the timer stops, AUTO_REFRESH stays as it is.
    void Halt();

private:
    CPondelDlg& window_;
    AppSettings& settings_;
    WindowWorkers& workers_;
    QTimer* timer_ = nullptr;
};

} // namespace pondel
