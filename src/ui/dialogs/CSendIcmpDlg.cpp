#include "CSendIcmpDlg.h"

#include <string>

#include <QLineEdit>
#include <QPushButton>

#include "DialogLayout.h"
#include "Icmp.h"
#include "ModalSeam.h"

namespace pondel {

CSendIcmpDlg::CSendIcmpDlg(QWidget* parent)
    : LookupDialog(parent)
{
    setObjectName(QStringLiteral("sendIcmpDialog"));
    setWindowTitle(tr("Send ICMP"));
    hostEdit_ = new QLineEdit(this);
    hostEdit_->setObjectName(QStringLiteral("hostEdit"));
    sendButton_ = MakeButton(*this, tr("Send"), "sendButton");
    statusEdit_ = new QLineEdit(this);
    statusEdit_->setObjectName(QStringLiteral("statusEdit"));
    statusEdit_->setReadOnly(true);
    closeButton_ = MakeButton(*this, tr("Close"), "closeButton");
    // Enter sends; Escape closes.
    sendButton_->setDefault(true);

    LayOutDialog(*this, tr("Send an ICMP packet to the specified host."),
        {{tr("Host Name or IP Address:"), hostEdit_}, {tr("Status:"), statusEdit_}},
        {sendButton_, closeButton_});
    SetBusyWidgets({hostEdit_, sendButton_});

    connect(sendButton_, &QPushButton::clicked, this, &CSendIcmpDlg::Send);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void CSendIcmpDlg::SetHost(const QString& host)
{
    hostEdit_->setText(host);
}

QString CSendIcmpDlg::Host() const
{
    return hostEdit_->text();
}

QString CSendIcmpDlg::Status() const
{
    return statusEdit_->text();
}

void CSendIcmpDlg::Send()
{
    const QString host = hostEdit_->text();
    if (host.isEmpty()) {
        ModalSeam::Notice(this, tr("Please enter the IP address or host name"));
        return;
    }
    const std::string target = host.toStdString();
    const ProbeSettings settings = probeSettings_;
    StartLookup<int>(
        [target, settings] { return ProbeHost(target, settings.timeOut, settings.method); },
        [this, host](const int answered) {
            // These two stay in English in every language.
            const QString status = answered != 0 ? QStringLiteral("Host %1 is alive.")
                                                 : QStringLiteral("Host %1 is not alive.");
            statusEdit_->setText(status.arg(host));
        });
}

} // namespace pondel
