#pragma once

#include "WindowSide.h"

namespace pondel {

class CPondelDlg;
class WindowWorkers;

// The main window as the wake-up and shutdown commands see it: messages and
// questions through the modal seam, the default host written at once, and
// the re-check of the marks on the monitor's thread.
class PondelWindowSide final : public WindowSide {
public:
    PondelWindowSide(CPondelDlg& window, WindowWorkers& workers)
        : window_(window)
        , workers_(workers)
    {
    }

    void ShowMessage(MessageId id) override;
    void ShowText(const std::string& text) override;
    bool Ask(MessageId id, const std::string& lead) override;
    void ShowHostFailures(std::span<const HostFailure> failures) override;
    void WriteDefaultHost(std::int32_t row) override;
    void RecheckHost(std::int32_t row) override;
    void RequestStatusPass() override;
    void WatchWokenHosts(const std::vector<std::int32_t>& rows, bool broadcast) override;
    void UpdateCommandState() override;
    [[nodiscard]] bool CollectRunning() const override;

private:
    CPondelDlg& window_;
    WindowWorkers& workers_;
};

} // namespace pondel
