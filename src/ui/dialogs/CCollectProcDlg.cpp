#include "CCollectProcDlg.h"

#include <limits>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace pondel {

CCollectProcDlg::CCollectProcDlg(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("collectProcDlg"));
    setWindowTitle(tr("Host information collection progress"));
    setModal(false);

    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName(QStringLiteral("progressBar"));
    progressBar_->setTextVisible(false);
    progressBar_->setRange(0, 1);
    progressBar_->setValue(0);
    addressLabel_ = new QLabel(this);
    addressLabel_->setObjectName(QStringLiteral("addressLabel"));
    addressLabel_->setMinimumWidth(
        addressLabel_->fontMetrics().horizontalAdvance(QStringLiteral("000.000.000.000")));
    detectCountLabel_ = new QLabel(this);
    detectCountLabel_->setObjectName(QStringLiteral("detectCountLabel"));
    ShowDetectCount(0);

    auto* stop = new QPushButton(tr("Stop"), this);
    stop->setObjectName(QStringLiteral("stopButton"));
    stop->setAutoDefault(false);
    connect(stop, &QPushButton::clicked, this, &CCollectProcDlg::StopRequested);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Progress state:"), this), 0, 0);
    grid->addWidget(progressBar_, 0, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Address in check:"), this), 1, 0);
    grid->addWidget(addressLabel_, 1, 1);
    grid->addWidget(detectCountLabel_, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(stop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void CCollectProcDlg::SetAddressCount(std::uint64_t count)
{
    scaleShift_ = 0;
    while ((count >> scaleShift_) > static_cast<std::uint64_t>(std::numeric_limits<int>::max()))
        ++scaleShift_;
    progressBar_->setRange(0, static_cast<int>(count >> scaleShift_));
    progressBar_->setValue(0);
}

void CCollectProcDlg::ShowAddress(std::uint64_t probed, const QString& address)
{
    progressBar_->setValue(static_cast<int>(probed >> scaleShift_));
    addressLabel_->setText(address);
}

void CCollectProcDlg::ShowDetectCount(int count)
{
    detectCountLabel_->setText(tr("Detect Count") + QStringLiteral(": %1").arg(count));
}

QString CCollectProcDlg::AddressText() const
{
    return addressLabel_->text();
}

QString CCollectProcDlg::DetectCountText() const
{
    return detectCountLabel_->text();
}

void CCollectProcDlg::Finish()
{
    finished_ = true;
    QDialog::reject();
    deleteLater();
}

void CCollectProcDlg::accept()
{
}

void CCollectProcDlg::reject()
{
    if (!finished_)
        emit StopRequested();
}

} // namespace pondel
