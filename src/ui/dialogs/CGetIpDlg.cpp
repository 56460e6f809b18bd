#include "CGetIpDlg.h"

#include <cstdint>
#include <optional>
#include <string>

#include <QLineEdit>
#include <QPushButton>

#include "DialogLayout.h"
#include "Ipv4Text.h"
#include "ModalSeam.h"
#include "NameLookup.h"

namespace pondel {

CGetIpDlg::CGetIpDlg(QWidget* parent)
    : LookupDialog(parent)
{
    setObjectName(QStringLiteral("getIpDialog"));
    setWindowTitle(tr("Get IP Address"));
    hostNameEdit_ = new QLineEdit(this);
    hostNameEdit_->setObjectName(QStringLiteral("hostNameEdit"));
    ipAddressEdit_ = new QLineEdit(this);
    ipAddressEdit_->setObjectName(QStringLiteral("ipAddressEdit"));
    ipAddressEdit_->setReadOnly(true);
    getIpAddressButton_ = MakeButton(*this, tr("Get IP Address"), "getIpAddressButton");
    okButton_ = MakeButton(*this, tr("OK"), "okButton");
    okButton_->setDefault(true);
    cancelButton_ = MakeButton(*this, tr("Cancel"), "cancelButton");

    LayOutDialog(*this, tr("Get the IP address from the host name."),
        {{tr("Host Name:"), hostNameEdit_}, {tr("IP Address:"), ipAddressEdit_}},
        {getIpAddressButton_, okButton_, cancelButton_});
    SetBusyWidgets({hostNameEdit_, getIpAddressButton_, okButton_});

    connect(getIpAddressButton_, &QPushButton::clicked, this, [this] { LookUp(false); });
    connect(okButton_, &QPushButton::clicked, this, [this] { LookUp(true); });
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    SetReturnMode(false);
}

void CGetIpDlg::SetReturnMode(bool returnMode)
{
    okButton_->setVisible(returnMode);
    // As a tool, Enter asks for the address.
    okButton_->setDefault(returnMode);
    getIpAddressButton_->setDefault(!returnMode);
    cancelButton_->setText(returnMode ? tr("Cancel") : tr("Close"));
}

void CGetIpDlg::SetHostName(const QString& hostName)
{
    hostNameEdit_->setText(hostName);
}

void CGetIpDlg::SetIpAddress(const QString& ipAddress)
{
    ipAddressEdit_->setText(ipAddress);
}

QString CGetIpDlg::HostName() const
{
    return hostNameEdit_->text();
}

QString CGetIpDlg::IpAddress() const
{
    return ipAddressEdit_->text();
}

void CGetIpDlg::LookUp(bool thenAccept)
{
    const std::string name = hostNameEdit_->text().toStdString();
    StartLookup<std::optional<std::uint32_t>>([name] { return LookupHostAddress(name); },
        [this, thenAccept](const std::optional<std::uint32_t>& address) {
            // A failure clears the address shown, so that no earlier answer
            // is taken for this name.
            if (address) {
                ipAddressEdit_->setText(QString::fromStdString(IpToText(*address)));
            } else {
                ipAddressEdit_->clear();
                ModalSeam::Notice(this, tr("Can not find the IP address of the host"));
            }
            if (thenAccept)
                accept();
        });
}

} // namespace pondel
