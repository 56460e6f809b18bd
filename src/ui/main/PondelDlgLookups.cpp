// The lookup dialogs and the wake listener of the Tool menu, and the version
// dialog.
#include "PondelDlg.h"

#include <utility>
#include <vector>

#include "CAboutDlg.h"
#include "CGetHostDlg.h"
#include "CGetIpDlg.h"
#include "CGetMacAddrDlg.h"
#include "CListenDlg.h"
#include "CSendIcmpDlg.h"
#include "HostListPane.h"
#include "HostProbe.h"
#include "HostTableModel.h"
#include "MacAddress.h"
#include "ModalSeam.h"

namespace pondel {
namespace {

// The host to look up: the address, or the name where there is none.
QString AddressOrName(const tHostInfo& host)
{
    return QString::fromUtf8(host.ipAddr[0] != '\0' ? host.ipAddr : host.hostName);
}

// The hosts of the window's rows that have a MAC address, for the listener
// to name the targets of what it hears.
std::vector<ListenedHost> ListenedHostsOf(const HostTableModel& rows)
{
    std::vector<ListenedHost> hosts;
    for (const HostRow& row : rows.Rows()) {
        ListenedHost host;
        if (ParseMacAddress(row.host.macAddr, host.mac) != 0)
            continue;
        host.hostName = row.host.hostName;
        hosts.push_back(std::move(host));
    }
    return hosts;
}

} // namespace

void CPondelDlg::OnListenForWake()
{
    if (!listenView_) {
        // Both are asked again at each start, so that a restart follows
        // the options and the rows as they are then.
        listenView_ = new CListenDlg(ListenSource{
                                         .options = [this] { return ListenOptionsOf(settings_); },
                                         .hosts = [this] { return ListenedHostsOf(*HostRows()); },
                                     },
            this);
        listenView_->setAttribute(Qt::WA_DeleteOnClose);
    }
    listenView_->show();
    listenView_->raise();
    listenView_->activateWindow();
}

void CPondelDlg::OnGetIpAddress()
{
    CGetIpDlg dialog(this);
    if (const auto host = list_->FirstSelectedHost())
        dialog.SetHostName(QString::fromUtf8(host->hostName));
    (void)ModalSeam::Exec(dialog);
}

void CPondelDlg::OnGetMacAddress()
{
    CGetMacAddrDlg dialog(this);
    if (const auto host = list_->FirstSelectedHost())
        dialog.SetHost(AddressOrName(*host));
    (void)ModalSeam::Exec(dialog);
}

void CPondelDlg::OnGetHostName()
{
    CGetHostDlg dialog(this);
    if (const auto host = list_->FirstSelectedHost())
        dialog.SetIpAddress(QString::fromUtf8(host->ipAddr));
    (void)ModalSeam::Exec(dialog);
}

void CPondelDlg::OnSendIcmp()
{
    CSendIcmpDlg dialog(this);
    dialog.SetProbeSettings(StatusProbeSettings(settings_));
    if (const auto host = list_->FirstSelectedHost())
        dialog.SetHost(AddressOrName(*host));
    (void)ModalSeam::Exec(dialog);
}

void CPondelDlg::OnVersionInfo()
{
    CAboutDlg dialog(settingsPath_, this);
    (void)ModalSeam::Exec(dialog);
}

} // namespace pondel
