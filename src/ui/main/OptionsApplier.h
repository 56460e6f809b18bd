#pragma once

#include "AppSettings.h"

namespace pondel {

class AutoRefresh;
class CommandSurfaces;
class CPondelDlg;
class HostListPane;
struct OptionValues;

// The Option command: the dialog filled from the settings, and what the
// accepted values change in the window at once.
class OptionsApplier final {
public:
    OptionsApplier(CPondelDlg& window, AppSettings& settings, HostListPane& list,
        CommandSurfaces& surfaces, AutoRefresh& autoRefresh);
    OptionsApplier(const OptionsApplier&) = delete;
    OptionsApplier& operator=(const OptionsApplier&) = delete;

    // Opens the dialog; on OK stores and applies its values.
    void Run();

private:
    [[nodiscard]] OptionValues CurrentOptions() const;
    void StoreOptions(const OptionValues& values);
    void ApplyOptions(const OptionValues& values);
    void ApplyAutoRefresh(bool autoRefresh);
    void ApplyTrayIcon(bool taskTrayIcon);

    CPondelDlg& window_;
    AppSettings& settings_;
    HostListPane& list_;
    CommandSurfaces& surfaces_;
    AutoRefresh& autoRefresh_;
};

} // namespace pondel
