#include "CGetMacAddrDlg.h"

#include <cstdint>
#include <optional>
#include <string>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "AddressLookup.h"
#include "DialogLayout.h"
#include "Ipv4Text.h"
#include "ModalSeam.h"
#include "NameLookup.h"

namespace pondel {
namespace {

// A name the resolver does not know is still tried as typed: it may be an
// address in a form the resolver does not take.
std::optional<std::string> LookUpMac(const std::string& host)
{
    const std::optional<std::uint32_t> address = LookupHostAddress(host);
    return GetMacAddress(address ? IpToText(*address) : host);
}

} // namespace

CGetMacAddrDlg::CGetMacAddrDlg(QWidget* parent)
    : LookupDialog(parent)
{
    setObjectName(QStringLiteral("getMacAddrDialog"));
    setWindowTitle(tr("Get MAC Address"));
    hostEdit_ = new QLineEdit(this);
    hostEdit_->setObjectName(QStringLiteral("hostEdit"));
    macAddressEdit_ = new QLineEdit(this);
    macAddressEdit_->setObjectName(QStringLiteral("macAddressEdit"));
    macAddressEdit_->setReadOnly(true);
    getMacAddressButton_ = MakeButton(*this, tr("Get MAC Address"), "getMacAddressButton");
    okButton_ = MakeButton(*this, tr("OK"), "okButton");
    cancelButton_ = MakeButton(*this, tr("Cancel"), "cancelButton");
    auto* note =
        new QLabel(tr("Note: Should be the target host is running to get the MAC address"), this);
    note->setObjectName(QStringLiteral("noteLabel"));
    note->setWordWrap(true);

    LayOutDialog(*this, tr("Get the MAC address from the IP address or host name."),
        {{tr("Host Name or IP Address:"), hostEdit_}, {tr("MAC Address:"), macAddressEdit_}},
        {getMacAddressButton_, okButton_, cancelButton_}, note);
    SetBusyWidgets({hostEdit_, getMacAddressButton_, okButton_});

    connect(getMacAddressButton_, &QPushButton::clicked, this, [this] { LookUp(false); });
    connect(okButton_, &QPushButton::clicked, this, [this] { LookUp(true); });
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    SetReturnMode(false);
}

void CGetMacAddrDlg::SetReturnMode(bool returnMode)
{
    okButton_->setVisible(returnMode);
    okButton_->setDefault(returnMode);
    getMacAddressButton_->setDefault(!returnMode);
    cancelButton_->setText(returnMode ? tr("Cancel") : tr("Close"));
}

void CGetMacAddrDlg::SetHost(const QString& host)
{
    hostEdit_->setText(host);
}

QString CGetMacAddrDlg::Host() const
{
    return hostEdit_->text();
}

QString CGetMacAddrDlg::MacAddress() const
{
    return macAddressEdit_->text();
}

void CGetMacAddrDlg::LookUp(bool thenAccept)
{
    const std::string host = hostEdit_->text().toStdString();
    if (host.empty()) {
        ModalSeam::Notice(this, tr("Please enter the IP address or host name"));
        return;
    }
    StartLookup<std::optional<std::string>>([host] { return LookUpMac(host); },
        [this, thenAccept](const std::optional<std::string>& mac) {
            if (!mac) {
                // No earlier answer stays to be taken for this host.
                macAddressEdit_->clear();
                ModalSeam::Notice(
                    this, tr("Can not find the MAC address from the ARP command output"));
                return;
            }
            macAddressEdit_->setText(QString::fromStdString(*mac));
            if (thenAccept)
                accept();
        });
}

} // namespace pondel
