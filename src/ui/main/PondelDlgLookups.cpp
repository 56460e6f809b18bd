// The lookup dialogs and the wake listener of the Tool menu, and the version
// dialog.
#include "PondelDlg.h"

#include <utility>

#include "CAboutDlg.h"
#include "CGetHostDlg.h"
#include "CGetIpDlg.h"
#include "CGetMacAddrDlg.h"
#include "CListenDlg.h"
#include "CSendIcmpDlg.h"
#include "HostListPane.h"
#include "HostProbe.h"
#include "HostTableModel.h"
#include "ModalSeam.h"

namespace pondel {
namespace {

// The host to look up: the address, or the name where there is none.
QString AddressOrName(const tHostInfo& host)
{
    return QString::fromUtf8(host.ipAddr[0] != '\0' ? host.ipAddr : host.hostName);
}

} // namespace

void CPondelDlg::OnListenForWake()
{
    if (!listenView_) {
        // Both are asked at each start, so that a restart follows the options
        // and the rows as they are then; the window's rows, not HostList,
        // which a worker may hold.
        ListenSource source{
            .options = [this] { return ListenOptionsOf(settings_); },
            .hosts = [this] { return ListenedHostsOf(HostRows()->Hosts()); },
        };
        listenView_ = new CListenDlg(std::move(source), this);
        listenView_->setAttribute(Qt::WA_DeleteOnClose);
        // A list edited while it listens names the packets after the edit.
        HostTableModel* rows = HostRows();
        const auto changed = [view = listenView_.data()] { view->HostsChanged(); };
        connect(rows, &QAbstractItemModel::rowsInserted, listenView_, changed);
        connect(rows, &QAbstractItemModel::rowsRemoved, listenView_, changed);
        connect(rows, &QAbstractItemModel::dataChanged, listenView_, changed);
        connect(rows, &QAbstractItemModel::modelReset, listenView_, changed);
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
