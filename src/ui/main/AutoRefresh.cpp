#include "AutoRefresh.h"

#include <algorithm>
#include <chrono>

#include <QTimer>

#include "PondelDlg.h"
#include "WindowWorkers.h"

namespace pondel {

AutoRefresh::AutoRefresh(CPondelDlg& window, AppSettings& settings, WindowWorkers& workers)
    : window_(window)
    , settings_(settings)
    , workers_(workers)
    , timer_(new QTimer(&window))
{
    timer_->setObjectName(QStringLiteral("autoRefreshTimer"));
    QObject::connect(timer_, &QTimer::timeout, &window_, &CPondelDlg::RequestStatusPass);
}

void AutoRefresh::FollowSetting()
{
    if (settings_.autoRefresh != 0 && !Running()) {
        Restart();
        window_.UpdateCommandState();
    } else if (settings_.autoRefresh == 0 && Running()) {
        timer_->stop();
        window_.UpdateCommandState();
    }
}

bool AutoRefresh::Running() const
{
    return timer_->isActive();
}

void AutoRefresh::Restart()
{
    // A period of 0 would ask for passes without pause.
    const std::uint32_t seconds = std::max<std::uint32_t>(settings_.timerInterval, 1);
    timer_->start(std::chrono::seconds(seconds));
}

void AutoRefresh::Start()
{
    if (!Running()) {
        Restart();
        window_.RequestStatusPass();
        window_.UpdateCommandState();
    }
    settings_.autoRefresh = 1;
}

void AutoRefresh::Stop()
{
    if (Running()) {
        timer_->stop();
        workers_.StopPass();
        window_.UpdateCommandState();
    }
    settings_.autoRefresh = 0;
}

void AutoRefresh::Halt()
{
    timer_->stop();
}

} // namespace pondel
