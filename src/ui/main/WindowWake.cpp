#include "WindowWake.h"

#include <utility>

#include <QMetaObject>

#include "PondelDlg.h"

namespace pondel {

WindowWake::WindowWake(CPondelDlg& window)
    : window_(window)
{
}

WindowWake::~WindowWake()
{
    Stop();
}

void WindowWake::Wake(const std::vector<int>& rows, bool broadcast, WakeContext context)
{
    WakeBatch batch =
        PrepareWake(std::vector<std::int32_t>(rows.begin(), rows.end()), broadcast, context);
    if (batch.hosts.empty()) {
        FinishWake(batch, context);
        return;
    }
    const int id = nextId_++;
    auto& running = *running_.emplace(id, std::make_unique<RunningWake>()).first->second;
    running.batch = std::move(batch);
    running.context.emplace(context);
    // The worker alone touches the batch until it says it is done.
    running.worker = std::jthread(
        [this, id, batch = &running.batch, network = context.network](std::stop_token stop) {
            SendWakeBatch(*batch, network, stop);
            if (!stop.stop_requested())
                QMetaObject::invokeMethod(
                    this, [this, id] { OnWakeSent(id); }, Qt::QueuedConnection);
        });
}

void WindowWake::Stop()
{
    // Destroying each worker asks it to stop and joins it.
    running_.clear();
}

void WindowWake::OnWakeSent(int id)
{
    const auto found = running_.find(id);
    if (found == running_.end())
        return;
    const std::unique_ptr<RunningWake> running = std::move(found->second);
    running_.erase(found);
    running->worker.join();
    Ended(running->batch, *running->context);
}

void WindowWake::Ended(const WakeBatch& batch, WakeContext& context)
{
    window_.SetStatusText(StatusPane::kGeneral, CLastWakeDlg::SummaryText(SummarizeWake(batch)));
    lastWake_ = batch;
    if (lastWakeView_)
        lastWakeView_->ShowWake(&*lastWake_);
    // A message box of FinishWake lets other wake-ups end meanwhile: this
    // one works on its own copy.
    FinishWake(batch, context);
}

void WindowWake::ShowLastWake()
{
    if (!lastWakeView_) {
        lastWakeView_ = new CLastWakeDlg(&window_);
        lastWakeView_->setAttribute(Qt::WA_DeleteOnClose);
        lastWakeView_->ShowWake(lastWake_ ? &*lastWake_ : nullptr);
    }
    lastWakeView_->show();
    lastWakeView_->raise();
    lastWakeView_->activateWindow();
}

} // namespace pondel
