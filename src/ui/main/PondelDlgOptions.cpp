// The option dialog and applying what it changed.
#include "PondelDlg.h"

#include <QCoreApplication>
#include <QMenu>

#include "HostTableModel.h"
#include "ModalSeam.h"
#include "COptionDlg.h"

namespace pondel {

OptionValues CPondelDlg::CurrentOptions() const
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
    return values;
}

void CPondelDlg::StoreOptions(const OptionValues& values)
{
    // Only this thread reads the settings: the workers get copies of what
    // they need (ApplyProbeSettings, and each sweep's own at its start).
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
}

void CPondelDlg::ApplyOptions(const OptionValues& values)
{
    // The mark type is stored by the switch itself, which redraws the marks;
    // with the type unchanged, new colours or text still show at once.
    if (values.markType != settings_.activeMarkType)
        ApplyActiveMarkType(values.markType);
    else
        RefreshMarkStyle();

    if (values.autoRefresh && !AutoRefreshRunning())
        StartAutoRefresh();
    else if (!values.autoRefresh && AutoRefreshRunning())
        StopAutoRefresh();
    else if (AutoRefreshRunning())
        StartAutoRefreshTimer(); // a changed interval counts from now

    if (values.taskTrayIcon) {
        AddTrayIcon();
        if (!TrayIconAdded())
            ModalSeam::Notice(this,
                tr("There is no system tray on this desktop, so the icon cannot be shown. The "
                   "window minimises as usual."));
    } else {
        RemoveTrayIcon();
    }

    if (static_cast<std::uint32_t>(model_->rowCount()) > values.maxHostNum)
        ModalSeam::Notice(this,
            tr("The list holds %1 hosts, more than the new maximum of %2. No host can be added, "
               "and the next start shows only the first %2; the others stay in the settings "
               "file.")
                .arg(model_->rowCount())
                .arg(values.maxHostNum));

    if (values.enableRemoteShutdown)
        RestoreShutdownItem();
    else
        RemoveShutdownItem();

    ApplyProbeSettings();
    UpdateCommandState();
}

void CPondelDlg::RestoreShutdownItem()
{
    const CommandEntry& entry = Command(CommandId::kShutdownHost);
    if (actions_[entry.id].menu != nullptr)
        return;
    QMenu* menu = menus_.at(entry.menu);
    // Back in its place: before the next command of its menu that is there,
    // and before the separator that leads to that command.
    QAction* next = nullptr;
    bool past = false;
    for (const CommandEntry& other : Commands()) {
        if (other.id == entry.id) {
            past = true;
        } else if (past && other.menu == entry.menu && MenuAction(other.id) != nullptr) {
            next = MenuAction(other.id);
            break;
        }
    }
    QAction* anchor = next;
    if (next != nullptr) {
        const QList<QAction*> items = menu->actions();
        const qsizetype position = items.indexOf(next);
        if (position > 0 && items[position - 1]->isSeparator())
            anchor = items[position - 1];
    }
    QAction* item =
        MakeAction(entry, QCoreApplication::translate("Commands", entry.text), menu);
    menu->insertAction(anchor, item);
    if (entry.menuSeparatorBefore)
        menu->insertSeparator(item);
    actions_[entry.id].menu = item;
}

void CPondelDlg::OnOption()
{
    // Applying options takes the list locks, which a running sweep holds
    // until it ends: waiting for them would freeze the window.
    if (IsCollectRunning())
        return;
    COptionDlg dialog(this);
    dialog.SetValues(CurrentOptions());
    if (ModalSeam::Exec(dialog) != QDialog::Accepted)
        return;
    const OptionValues& values = dialog.Values();
    StoreOptions(values);
    ApplyOptions(values);
}

} // namespace pondel
