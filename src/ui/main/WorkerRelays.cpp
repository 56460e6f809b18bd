#include "WorkerRelays.h"

#include <QMetaObject>

#include "PondelDlg.h"

namespace pondel {
namespace {

template <typename Call>
void Post(CPondelDlg& window, Call call)
{
    QMetaObject::invokeMethod(&window, std::move(call), Qt::QueuedConnection);
}

} // namespace

void StatusRelay::OnPassProgress(std::int32_t done, std::int32_t total)
{
    CPondelDlg* window = &window_;
    Post(window_, [window, done, total] { window->SetProgressText(total, done); });
}

void StatusRelay::OnPassEnded()
{
    CPondelDlg* window = &window_;
    Post(window_, [window] { window->OnPassEnded(); });
}

void StatusRelay::OnProbeFailed(const ErrorInfo& error)
{
    CPondelDlg* window = &window_;
    Post(window_, [window, error] { window->ShowProbeFailure(error); });
}

void SweepRelay::OnSweepProgress(std::uint32_t address)
{
    CPondelDlg* window = &window_;
    Post(window_, [window, address] { window->OnSweepProgress(address); });
}

void SweepRelay::OnSweepDetected(std::int32_t detectCount)
{
    CPondelDlg* window = &window_;
    Post(window_, [window, detectCount] { window->OnSweepDetected(detectCount); });
}

void SweepRelay::OnSweepFinished(SweepEnd end)
{
    CPondelDlg* window = &window_;
    Post(window_, [window, end] { window->OnSweepFinished(end); });
}

} // namespace pondel
