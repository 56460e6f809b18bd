#include "PondelWindowSide.h"

#include "MessageTexts.h"
#include "ModalSeam.h"
#include "PondelDlg.h"
#include "WakingRows.h"
#include "WindowWorkers.h"

namespace pondel {

void PondelWindowSide::ShowMessage(MessageId id)
{
    ModalSeam::Error(&window_, MessageText(id));
}

void PondelWindowSide::ShowText(const std::string& text)
{
    ModalSeam::Error(&window_, QString::fromStdString(text));
}

bool PondelWindowSide::Ask(MessageId id, const std::string& lead)
{
    return ModalSeam::Ask(&window_, QString::fromStdString(lead) + MessageText(id));
}

void PondelWindowSide::ShowHostFailures(std::span<const HostFailure> failures)
{
    QString text = CPondelDlg::tr("These hosts could not be woken:");
    for (const HostFailure& failure : failures) {
        const QString reason = failure.systemText.empty()
            ? MessageText(failure.message)
            : QString::fromStdString(failure.systemText);
        text += QStringLiteral("\n%1: %2").arg(reason, QString::fromStdString(failure.hostName));
    }
    ModalSeam::Error(&window_, text);
}

void PondelWindowSide::WriteDefaultHost(std::int32_t row)
{
    workers_.WriteDefaultHost(row);
}

void PondelWindowSide::RecheckHost(std::int32_t row)
{
    workers_.RecheckHosts({row});
}

void PondelWindowSide::RequestStatusPass()
{
    workers_.RequestStatusPass();
}

bool PondelWindowSide::CollectRunning() const
{
    return workers_.CollectRunning();
}

void PondelWindowSide::UpdateCommandState()
{
    window_.UpdateCommandState();
}

void PondelWindowSide::WatchWokenHosts(const std::vector<std::int32_t>& rows, bool broadcast)
{
    window_.Waking().Watch(rows, broadcast);
}

} // namespace pondel
