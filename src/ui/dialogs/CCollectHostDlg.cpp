#include "CCollectHostDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "AddressEdit.h"
#include "ModalSeam.h"

namespace pondel {

CCollectHostDlg::CCollectHostDlg(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("collectHostDlg"));
    setWindowTitle(tr("Host information collection"));

    startEdit_ = new AddressEdit(this);
    startEdit_->setObjectName(QStringLiteral("startAddressEdit"));
    endEdit_ = new AddressEdit(this);
    endEdit_->setObjectName(QStringLiteral("endAddressEdit"));
    netMaskEdit_ = new AddressEdit(this);
    netMaskEdit_->setObjectName(QStringLiteral("netMaskEdit"));
    timeOutEdit_ = new QLineEdit(this);
    timeOutEdit_->setObjectName(QStringLiteral("timeOutEdit"));
    timeOutEdit_->setAlignment(Qt::AlignRight);
    timeOutEdit_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral(R"(\d{0,10})")), this));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Start IP Address:"), this), 0, 0);
    grid->addWidget(startEdit_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("～"), this), 0, 2);
    grid->addWidget(new QLabel(tr("End IP Address:"), this), 0, 3);
    grid->addWidget(endEdit_, 0, 4);
    grid->addWidget(new QLabel(tr("Net Mask:"), this), 1, 0);
    grid->addWidget(netMaskEdit_, 1, 1);
    grid->addWidget(new QLabel(tr("Timeout of ICMP Reply:"), this), 2, 0);
    grid->addWidget(timeOutEdit_, 2, 1);
    grid->addWidget(new QLabel(tr("msec"), this), 2, 2);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* start = buttons->addButton(tr("Start"), QDialogButtonBox::AcceptRole);
    start->setObjectName(QStringLiteral("startButton"));
    start->setDefault(true);
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        tr("Search for a host of running by sending ICMP to the following address."), this));
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

void CCollectHostDlg::SetRequest(const CollectRequest& request)
{
    request_ = request;
    startEdit_->SetAddress(request.range.start);
    endEdit_->SetAddress(request.range.end);
    netMaskEdit_->SetAddress(request.range.netMask);
    timeOutEdit_->setText(QString::number(request.timeOut));
}

void CCollectHostDlg::accept()
{
    bool ok = false;
    const qulonglong timeOut = timeOutEdit_->text().toULongLong(&ok);
    if (!ok || timeOut > 0xFFFFFFFFull) {
        ModalSeam::Error(this, tr("Please enter a positive integer."));
        timeOutEdit_->setFocus();
        timeOutEdit_->selectAll();
        return;
    }
    request_.timeOut = static_cast<std::uint32_t>(timeOut);
    request_.range =
        CollectRange{startEdit_->Address(), endEdit_->Address(), netMaskEdit_->Address()};
    QDialog::accept();
}

} // namespace pondel
