#include "CGetHostDlg.h"

#include <cstdint>
#include <optional>
#include <string>

#include <QLineEdit>
#include <QPushButton>

#include "AddressEdit.h"
#include "DialogLayout.h"
#include "Ipv4Text.h"
#include "ModalSeam.h"
#include "ReverseLookup.h"
#include "TextLimit.h"

namespace pondel {

CGetHostDlg::CGetHostDlg(QWidget* parent)
    : LookupDialog(parent)
{
    setObjectName(QStringLiteral("getHostDialog"));
    setWindowTitle(tr("Get Host Name"));
    ipAddressEdit_ = new AddressEdit(this);
    ipAddressEdit_->setObjectName(QStringLiteral("ipAddressEdit"));
    hostNameEdit_ = new QLineEdit(this);
    hostNameEdit_->setObjectName(QStringLiteral("hostNameEdit"));
    // The name may go into a host record.
    LimitToRecordField(*hostNameEdit_, kHostNameLimit);
    getHostNameButton_ = MakeButton(*this, tr("Get..."), "getHostNameButton");
    okButton_ = MakeButton(*this, tr("OK"), "okButton");
    cancelButton_ = MakeButton(*this, tr("Cancel"), "cancelButton");

    LayOutDialog(*this, tr("Gets the host name from IP address."),
        {{tr("IP Address:"), ipAddressEdit_}, {tr("Host Name:"), hostNameEdit_}},
        {getHostNameButton_, okButton_, cancelButton_});
    SetBusyWidgets({ipAddressEdit_, hostNameEdit_, getHostNameButton_, okButton_});

    connect(getHostNameButton_, &QPushButton::clicked, this, [this] { LookUp(false); });
    connect(okButton_, &QPushButton::clicked, this, [this] { LookUp(true); });
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
    SetReturnMode(false);
}

void CGetHostDlg::SetReturnMode(bool returnMode)
{
    okButton_->setVisible(returnMode);
    okButton_->setDefault(returnMode);
    getHostNameButton_->setDefault(!returnMode);
    cancelButton_->setText(returnMode ? tr("Cancel") : tr("Close"));
}

void CGetHostDlg::SetIpAddress(const QString& ipAddress)
{
    if (ipAddress.isEmpty())
        ipAddressEdit_->clear();
    else
        ipAddressEdit_->SetAddress(TextToIp(ipAddress.toStdString()));
}

void CGetHostDlg::SetHostName(const QString& hostName)
{
    hostNameEdit_->setText(hostName);
}

QString CGetHostDlg::HostName() const
{
    return hostNameEdit_->text();
}

void CGetHostDlg::LookUp(bool thenAccept)
{
    if (!ipAddressEdit_->IsComplete()) {
        if (thenAccept)
            accept();
        return;
    }
    const std::uint32_t address = ipAddressEdit_->Address();
    StartLookup<std::optional<std::string>>([address] { return ReverseLookupName(address); },
        [this, thenAccept](const std::optional<std::string>& name) {
            const std::string kept = name.value_or(std::string()).substr(0, kMaxNameLength);
            // A failure clears the name, so that no earlier answer is taken
            // for this address.
            hostNameEdit_->setText(QString::fromStdString(kept));
            if (kept.empty())
                ModalSeam::Notice(this, tr("Can not find the host name of the IP address"));
            if (thenAccept)
                accept();
        });
}

} // namespace pondel
