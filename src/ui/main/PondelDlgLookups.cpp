// The lookup dialogs of the Tool menu and the version dialog.
#include "PondelDlg.h"

#include "CAboutDlg.h"
#include "CGetHostDlg.h"
#include "CGetIpDlg.h"
#include "CGetMacAddrDlg.h"
#include "CSendIcmpDlg.h"
#include "HostListPane.h"
#include "HostProbe.h"
#include "ModalSeam.h"

namespace pondel {
namespace {

// The host to look up: the address, or the name where there is none.
QString AddressOrName(const tHostInfo& host)
{
    return QString::fromUtf8(host.ipAddr[0] != '\0' ? host.ipAddr : host.hostName);
}

} // namespace

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
