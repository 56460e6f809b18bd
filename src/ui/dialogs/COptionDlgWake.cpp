// The Wake group of the option dialog: the paths a wake-up takes besides
// the directed broadcast, its ports, rounds, and how a woken host is watched.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "COptionDlg.h"
#include "ModalSeam.h"
#include "WakeOptionTexts.h"
#include "WakeRequest.h"

namespace pondel {
namespace {

struct PathBox {
    QCheckBox* box;
    WakePath path;
};

} // namespace

QGroupBox* COptionDlg::BuildWake()
{
    auto* group = new QGroupBox(tr("Wake"), this);
    group->setObjectName(QStringLiteral("wakeGroup"));
    limitedBroadcastCheckBox_ =
        MakeCheckBox(tr("Also to 255.255.255.255 (limited broadcast)"), "limitedBroadcastCheckBox");
    unicastCheckBox_ = MakeCheckBox(tr("Also to the host's own address"), "unicastCheckBox");
    ipv6AllNodesCheckBox_ =
        MakeCheckBox(tr("Also to the IPv6 all-nodes group ff02::1"), "ipv6AllNodesCheckBox");
    rawFrameCheckBox_ =
        MakeCheckBox(tr("Also as an Ethernet frame (needs privileges)"), "rawFrameCheckBox");
    wakeExtraPortsEdit_ = new QLineEdit(this);
    wakeExtraPortsEdit_->setObjectName(QStringLiteral("wakeExtraPortsEdit"));
    wakeExtraPortsEdit_->setPlaceholderText(tr("for example 9"));
    wakeRepeatCountEdit_ = MakeNumberEdit("wakeRepeatCountEdit");
    wakeRepeatIntervalEdit_ = MakeNumberEdit("wakeRepeatIntervalEdit");
    wakeConfirmIntervalEdit_ = MakeNumberEdit("wakeConfirmIntervalEdit");
    wakeConfirmTimeoutEdit_ = MakeNumberEdit("wakeConfirmTimeoutEdit");
    wakeResendSecondsEdit_ = MakeNumberEdit("wakeResendSecondsEdit");

    auto* numbers = new QGridLayout;
    const auto addRow = [&](int row, const QString& label, QWidget* field, const QString& unit) {
        numbers->addWidget(new QLabel(label, group), row, 0);
        numbers->addWidget(field, row, 1);
        numbers->addWidget(new QLabel(unit, group), row, 2);
    };
    addRow(0, tr("Extra ports:"), wakeExtraPortsEdit_, tr("besides the destination port"));
    addRow(1, tr("Send each packet:"), wakeRepeatCountEdit_, tr("times"));
    addRow(2, tr("Between the rounds:"), wakeRepeatIntervalEdit_, tr("milliseconds"));
    addRow(3, tr("Check a woken host every:"), wakeConfirmIntervalEdit_, tr("milliseconds"));
    addRow(4, tr("Watch it for:"), wakeConfirmTimeoutEdit_, tr("seconds (0: check once)"));
    addRow(5, tr("Send again every:"), wakeResendSecondsEdit_, tr("seconds (0: never)"));
    numbers->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(group);
    for (QCheckBox* box :
        {limitedBroadcastCheckBox_, unicastCheckBox_, ipv6AllNodesCheckBox_, rawFrameCheckBox_})
        layout->addWidget(box);
    layout->addLayout(numbers);
    return group;
}

void COptionDlg::ShowWakeValues()
{
    for (const PathBox& path : {PathBox{limitedBroadcastCheckBox_, WakePath::kLimitedBroadcast},
             PathBox{unicastCheckBox_, WakePath::kUnicast},
             PathBox{ipv6AllNodesCheckBox_, WakePath::kIpv6AllNodes},
             PathBox{rawFrameCheckBox_, WakePath::kRawFrame}})
        path.box->setChecked((values_.wakePaths & PathBit(path.path)) != 0);
    wakeExtraPortsEdit_->setText(QString::fromStdString(values_.wakeExtraPorts));
    wakeRepeatCountEdit_->setText(QString::number(values_.wakeRepeatCount));
    wakeRepeatIntervalEdit_->setText(QString::number(values_.wakeRepeatInterval));
    wakeConfirmIntervalEdit_->setText(QString::number(values_.wakeConfirmInterval));
    wakeConfirmTimeoutEdit_->setText(QString::number(values_.wakeConfirmTimeout));
    wakeResendSecondsEdit_->setText(QString::number(values_.wakeResendSeconds));
}

std::vector<COptionDlg::NumberField> COptionDlg::WakeNumberFields()
{
    return {
        {wakeRepeatCountEdit_, kWakeRepeatCountRange.minimum, kWakeRepeatCountRange.maximum,
            &OptionValues::wakeRepeatCount},
        {wakeRepeatIntervalEdit_, kWakeRepeatIntervalRange.minimum,
            kWakeRepeatIntervalRange.maximum, &OptionValues::wakeRepeatInterval},
        {wakeConfirmIntervalEdit_, kWakeConfirmIntervalRange.minimum,
            kWakeConfirmIntervalRange.maximum, &OptionValues::wakeConfirmInterval},
        {wakeConfirmTimeoutEdit_, kWakeConfirmTimeoutRange.minimum,
            kWakeConfirmTimeoutRange.maximum, &OptionValues::wakeConfirmTimeout},
        {wakeResendSecondsEdit_, kWakeResendSecondsRange.minimum, kWakeResendSecondsRange.maximum,
            &OptionValues::wakeResendSeconds},
    };
}

bool COptionDlg::TakeWakeControls(OptionValues& values)
{
    const QString ports = wakeExtraPortsEdit_->text().simplified();
    if (!ParseWakePorts(ports.toStdString())) {
        ModalSeam::Error(this,
            tr("Please enter port numbers between 1 and 65535, separated by "
               "commas."));
        wakeExtraPortsEdit_->setFocus();
        wakeExtraPortsEdit_->selectAll();
        return false;
    }
    values.wakeExtraPorts = ports.toStdString();
    // Bits this dialog does not show are kept as they were.
    WakePathSet paths = values.wakePaths & ~kExtraWakePaths;
    for (const PathBox& path : {PathBox{limitedBroadcastCheckBox_, WakePath::kLimitedBroadcast},
             PathBox{unicastCheckBox_, WakePath::kUnicast},
             PathBox{ipv6AllNodesCheckBox_, WakePath::kIpv6AllNodes},
             PathBox{rawFrameCheckBox_, WakePath::kRawFrame}}) {
        if (path.box->isChecked())
            paths |= PathBit(path.path);
    }
    values.wakePaths = paths;
    return true;
}

} // namespace pondel
