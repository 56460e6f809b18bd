#include "WorkerRelays.h"

#include <QMetaObject>

#include "WindowWorkers.h"

namespace pondel {
namespace {

// Queued to the workers' object, which lives on the window's thread; calls
// still waiting when it goes are dropped with it.
template <typename Call>
void Post(WindowWorkers& workers, Call call)
{
    QMetaObject::invokeMethod(&workers, std::move(call), Qt::QueuedConnection);
}

} // namespace

void StatusRelay::OnPassProgress(std::int32_t done, std::int32_t total)
{
    WindowWorkers* workers = &workers_;
    Post(workers_, [workers, done, total] { workers->OnPassProgress(done, total); });
}

void StatusRelay::OnPassEnded()
{
    WindowWorkers* workers = &workers_;
    Post(workers_, [workers] { workers->OnPassEnded(); });
}

void StatusRelay::OnProbeFailed(const ErrorInfo& error)
{
    WindowWorkers* workers = &workers_;
    Post(workers_, [workers, error] { workers->OnProbeFailed(error); });
}

void StatusRelay::OnHostsChecked(const std::vector<std::int32_t>& indexes)
{
    WindowWorkers* workers = &workers_;
    Post(workers_, [workers, indexes] { workers->OnHostsChecked(indexes); });
}

void SweepRelay::OnSweepProgress(std::uint32_t address)
{
    WindowWorkers* workers = &workers_;
    Post(workers_, [workers, address] { workers->OnSweepProgress(address); });
}

void SweepRelay::OnSweepDetected(std::int32_t detectCount)
{
    WindowWorkers* workers = &workers_;
    Post(workers_, [workers, detectCount] { workers->OnSweepDetected(detectCount); });
}

void SweepRelay::OnSweepFinished(SweepEnd end)
{
    WindowWorkers* workers = &workers_;
    Post(workers_, [workers, end] { workers->OnSweepFinished(end); });
}

} // namespace pondel
