// The option dialog and applying what it changed.
#include "OptionsApplier.h"

#include "AutoRefresh.h"
#include "COptionDlg.h"
#include "CommandSurfaces.h"
#include "HostListPane.h"
#include "HostTableModel.h"
#include "ModalSeam.h"
#include "PondelDlg.h"

namespace pondel {

OptionsApplier::OptionsApplier(CPondelDlg& window, AppSettings& settings, HostListPane& list,
    CommandSurfaces& surfaces, AutoRefresh& autoRefresh)
    : window_(window)
    , settings_(settings)
    , list_(list)
    , surfaces_(surfaces)
    , autoRefresh_(autoRefresh)
{
}

void OptionsApplier::Run()
{
    // Applying options takes the list locks, which a running sweep holds
    // until it ends: waiting for them would freeze the window.
    if (window_.IsCollectRunning())
        return;
    COptionDlg dialog(&window_);
    dialog.SetValues(CurrentOptions());
    if (ModalSeam::Exec(dialog) != QDialog::Accepted)
        return;
    const OptionValues& values = dialog.Values();
    StoreOptions(values);
    ApplyOptions(values);
}

OptionValues OptionsApplier::CurrentOptions() const
{
    OptionValues values;
    values.icmpTimeOut = settings_.icmpTimeOut;
    values.portNo = settings_.portNo;
    values.maxHostNum = settings_.maxHostNum;
    values.initRefresh = settings_.initRefresh != 0;
    values.noExternalCommand = settings_.noExternalCommand != 0;
    values.checkNetworkSegment = settings_.checkNetworkSegment != 0;
    values.autoRefresh = settings_.autoRefresh != 0;
    values.timerInterval = settings_.timerInterval;
    values.markTextColor = settings_.activeMarkTextColor;
    values.markBackColor = settings_.activeMarkBackColor;
    values.markText = settings_.activeMarkText;
    values.markType = settings_.activeMarkType;
    values.nonBroadcastDflt = settings_.nonBroadcastDflt != 0;
    values.taskTrayIcon = settings_.taskTrayIcon != 0;
    values.enableRemoteShutdown = settings_.enableRemoteShutdown != 0;
    values.shutdownCommand = settings_.shutdownCommand;
    values.wakePaths = settings_.wakePaths;
    values.wakeExtraPorts = settings_.wakeExtraPorts;
    values.wakeRepeatCount = settings_.wakeRepeatCount;
    values.wakeRepeatInterval = settings_.wakeRepeatInterval;
    values.wakeConfirmInterval = settings_.wakeConfirmInterval;
    values.wakeConfirmTimeout = settings_.wakeConfirmTimeout;
    values.wakeResendSeconds = settings_.wakeResendSeconds;
    values.arpProbe = settings_.arpProbe != 0;
    values.vendorColumn = settings_.vendorColumn != 0;
    return values;
}

void OptionsApplier::StoreOptions(const OptionValues& values)
{
    // Only the window's thread reads the settings: the workers get copies of
    // what they need (ApplyProbeSettings, and each sweep's own at its start).
    settings_.icmpTimeOut = values.icmpTimeOut;
    settings_.portNo = values.portNo;
    settings_.maxHostNum = values.maxHostNum;
    settings_.initRefresh = values.initRefresh ? 1 : 0;
    settings_.noExternalCommand = values.noExternalCommand ? 1 : 0;
    settings_.checkNetworkSegment = values.checkNetworkSegment ? 1 : 0;
    settings_.autoRefresh = values.autoRefresh ? 1 : 0;
    settings_.timerInterval = values.timerInterval;
    settings_.activeMarkTextColor = values.markTextColor;
    settings_.activeMarkBackColor = values.markBackColor;
    settings_.activeMarkText = values.markText;
    settings_.nonBroadcastDflt = values.nonBroadcastDflt ? 1 : 0;
    settings_.taskTrayIcon = values.taskTrayIcon ? 1 : 0;
    settings_.enableRemoteShutdown = values.enableRemoteShutdown ? 1 : 0;
    settings_.shutdownCommand = values.shutdownCommand;
    settings_.wakePaths = values.wakePaths;
    settings_.wakeExtraPorts = values.wakeExtraPorts;
    settings_.wakeRepeatCount = values.wakeRepeatCount;
    settings_.wakeRepeatInterval = values.wakeRepeatInterval;
    settings_.wakeConfirmInterval = values.wakeConfirmInterval;
    settings_.wakeConfirmTimeout = values.wakeConfirmTimeout;
    settings_.wakeResendSeconds = values.wakeResendSeconds;
    settings_.arpProbe = values.arpProbe ? 1 : 0;
    settings_.vendorColumn = values.vendorColumn ? 1 : 0;
}

void OptionsApplier::ApplyOptions(const OptionValues& values)
{
    // The mark type is stored by the switch itself, which redraws the marks;
    // with the type unchanged, new colours or text still show at once.
    if (values.markType != settings_.activeMarkType)
        list_.ApplyActiveMarkType(values.markType);
    else
        list_.RefreshMarkStyle();

    list_.ApplyVendorColumn();
    ApplyAutoRefresh(values.autoRefresh);
    ApplyTrayIcon(values.taskTrayIcon);

    const int rowCount = list_.Model()->rowCount();
    if (static_cast<std::uint32_t>(rowCount) > values.maxHostNum)
        ModalSeam::Notice(&window_,
            CPondelDlg::tr(
                "The list holds %1 hosts, more than the new maximum of %2. No host can be added, "
                "and the next start shows only the first %2; the others stay in the settings "
                "file.")
                .arg(rowCount)
                .arg(values.maxHostNum));

    if (values.enableRemoteShutdown)
        surfaces_.RestoreShutdownItem();
    else
        surfaces_.RemoveShutdownItem();

    window_.ApplyProbeSettings();
    window_.UpdateCommandState();
}

void OptionsApplier::ApplyAutoRefresh(bool autoRefresh)
{
    if (autoRefresh && !autoRefresh_.Running())
        autoRefresh_.Start();
    else if (!autoRefresh && autoRefresh_.Running())
        autoRefresh_.Stop();
    else if (autoRefresh_.Running())
        autoRefresh_.Restart(); // a changed interval counts from now
}

void OptionsApplier::ApplyTrayIcon(bool taskTrayIcon)
{
    if (!taskTrayIcon) {
        surfaces_.RemoveTrayIcon();
        return;
    }
    surfaces_.AddTrayIcon();
    if (!surfaces_.TrayIconAdded())
        ModalSeam::Notice(&window_,
            CPondelDlg::tr(
                "There is no system tray on this desktop, so the icon cannot be shown. The "
                "window minimises as usual."));
}

} // namespace pondel
