#include "COptionDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "ColorSwatch.h"
#include "ColorValues.h"
#include "ModalSeam.h"

namespace pondel {
namespace {

// Enough digits for every valid number and a few more, so that a number too
// large is seen and refused rather than cut.
constexpr int kNumberDigits = 10;
constexpr int kNumberEditWidth = 80;

// The settings file keeps one value a line.
std::string OneLine(const QString& text)
{
    QString line = text;
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line.toStdString();
}

QLabel* Label(const QString& text, QWidget* parent)
{
    return new QLabel(text, parent);
}

} // namespace

COptionDlg::COptionDlg(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("optionDialog"));
    setWindowTitle(tr("Option"));
    BuildForm();
    ShowValues();
}

COptionDlg::~COptionDlg() = default;

QLineEdit* COptionDlg::MakeNumberEdit(const char* objectName)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(objectName));
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    edit->setMaxLength(kNumberDigits);
    edit->setFixedWidth(kNumberEditWidth);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

QCheckBox* COptionDlg::MakeCheckBox(const QString& text, const char* objectName)
{
    auto* box = new QCheckBox(text, this);
    box->setObjectName(QLatin1String(objectName));
    return box;
}

QLayout* COptionDlg::BuildNumbers()
{
    icmpTimeOutEdit_ = MakeNumberEdit("icmpTimeOutEdit");
    maxHostNumEdit_ = MakeNumberEdit("maxHostNumEdit");
    portNoEdit_ = MakeNumberEdit("portNoEdit");
    auto* numbers = new QGridLayout;
    numbers->addWidget(Label(tr("Response timeout ICMP:"), this), 0, 0);
    numbers->addWidget(icmpTimeOutEdit_, 0, 1);
    numbers->addWidget(Label(tr("milliseconds"), this), 0, 2);
    numbers->addWidget(Label(tr("Max number of regist host:"), this), 1, 0);
    numbers->addWidget(maxHostNumEdit_, 1, 1);
    numbers->addWidget(Label(tr("Destination port number:"), this), 2, 0);
    numbers->addWidget(portNoEdit_, 2, 1);
    numbers->addWidget(Label(tr("Usually use the 7 (Echo)"), this), 2, 2);
    numbers->setColumnStretch(3, 1);
    return numbers;
}

QLayout* COptionDlg::BuildAutoRefresh()
{
    autoRefreshCheckBox_ = MakeCheckBox(tr("Enable Auto Refresh"), "autoRefreshCheckBox");
    timerIntervalEdit_ = MakeNumberEdit("timerIntervalEdit");
    auto* autoRefresh = new QHBoxLayout;
    autoRefresh->addWidget(autoRefreshCheckBox_);
    autoRefresh->addSpacing(16);
    autoRefresh->addWidget(Label(tr("Auto refresh interval:"), this));
    autoRefresh->addWidget(timerIntervalEdit_);
    autoRefresh->addWidget(Label(tr("seconds"), this));
    autoRefresh->addStretch(1);
    return autoRefresh;
}

void COptionDlg::BuildMarkTypes()
{
    iconMarkRadioButton_ = new QRadioButton(tr("Show active mark in the icon"), this);
    iconMarkRadioButton_->setObjectName(QStringLiteral("iconMarkRadioButton"));
    textMarkRadioButton_ = new QRadioButton(tr("Show active mark in a text"), this);
    textMarkRadioButton_->setObjectName(QStringLiteral("textMarkRadioButton"));
    auto* markTypes = new QButtonGroup(this);
    markTypes->addButton(iconMarkRadioButton_, 0);
    markTypes->addButton(textMarkRadioButton_, 1);
    connect(textMarkRadioButton_, &QRadioButton::toggled, this, &COptionDlg::UpdateTextMarkGroup);
    connect(markTypes, &QButtonGroup::idClicked, this, &COptionDlg::ChooseMarkType);
}

QLayout* COptionDlg::BuildTextMark()
{
    backColorLabel_ = Label(tr("Active mark:  Back Color"), this);
    backColorSwatch_ = new ColorSwatch(this);
    backColorSwatch_->setObjectName(QStringLiteral("backColorSwatch"));
    textColorLabel_ = Label(tr("Text Color"), this);
    textColorSwatch_ = new ColorSwatch(this);
    textColorSwatch_->setObjectName(QStringLiteral("textColorSwatch"));
    markTextLabel_ = Label(tr("Mark Text"), this);
    markTextEdit_ = new QLineEdit(this);
    markTextEdit_->setObjectName(QStringLiteral("markTextEdit"));
    markTextEdit_->setFixedWidth(kNumberEditWidth);
    for (ColorSwatch* swatch : {backColorSwatch_, textColorSwatch_})
        connect(swatch, &ColorSwatch::clicked, this, [this, swatch] { ChooseColor(swatch); });
    auto* textMark = new QHBoxLayout;
    textMark->addSpacing(20);
    textMark->addWidget(backColorLabel_);
    textMark->addWidget(backColorSwatch_);
    textMark->addSpacing(12);
    textMark->addWidget(textColorLabel_);
    textMark->addWidget(textColorSwatch_);
    textMark->addSpacing(12);
    textMark->addWidget(markTextLabel_);
    textMark->addWidget(markTextEdit_);
    textMark->addStretch(1);
    return textMark;
}

QLayout* COptionDlg::BuildShutdown()
{
    remoteShutdownCheckBox_ = MakeCheckBox(tr("Enable remote shutdown"), "remoteShutdownCheckBox");
    connect(remoteShutdownCheckBox_, &QCheckBox::toggled, this, &COptionDlg::UpdateShutdownGroup);
    shutdownCommandLabel_ = Label(tr("Shutdown command:"), this);
    shutdownCommandEdit_ = new QLineEdit(this);
    shutdownCommandEdit_->setObjectName(QStringLiteral("shutdownCommandEdit"));
    shutdownCommandNote_ = Label(tr("%s stands for the IP address of the host.\n"
                                    "Put an argument with blanks in double quotes."),
        this);
    auto* shutdown = new QGridLayout;
    shutdown->setColumnMinimumWidth(0, 20);
    shutdown->addWidget(shutdownCommandLabel_, 0, 1);
    shutdown->addWidget(shutdownCommandEdit_, 0, 2);
    shutdown->addWidget(shutdownCommandNote_, 1, 1, 1, 2);
    shutdown->setColumnStretch(2, 1);
    return shutdown;
}

QDialogButtonBox* COptionDlg::BuildButtons()
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("OK"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Cancel"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &COptionDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &COptionDlg::reject);
    return buttons;
}

void COptionDlg::BuildForm()
{
    auto* form = new QVBoxLayout(this);
    form->addLayout(BuildNumbers());
    form->addSpacing(6);
    initRefreshCheckBox_ = MakeCheckBox(
        tr("At the start check the active status of the host in list."), "initRefreshCheckBox");
    form->addWidget(initRefreshCheckBox_);
    noExternalCommandCheckBox_ =
        MakeCheckBox(tr("Do not use the external command"), "noExternalCommandCheckBox");
    form->addWidget(noExternalCommandCheckBox_);
    checkNetworkSegmentCheckBox_ =
        MakeCheckBox(tr("Check before sending the magic packet to other network."),
            "checkNetworkSegmentCheckBox");
    form->addWidget(checkNetworkSegmentCheckBox_);
    form->addLayout(BuildAutoRefresh());
    arpProbeCheckBox_ = MakeCheckBox(
        tr("Also ask hosts on this computer's own networks by ARP"), "arpProbeCheckBox");
    form->addWidget(arpProbeCheckBox_);
    vendorColumnCheckBox_ =
        MakeCheckBox(tr("Show the vendor of the MAC address in a column"), "vendorColumnCheckBox");
    form->addWidget(vendorColumnCheckBox_);
    form->addSpacing(6);
    BuildMarkTypes();
    form->addWidget(iconMarkRadioButton_);
    form->addWidget(textMarkRadioButton_);
    form->addLayout(BuildTextMark());
    form->addSpacing(6);
    nonBroadcastDfltCheckBox_ =
        MakeCheckBox(tr("Do not use broadcast by default when sending magic packets."),
            "nonBroadcastDfltCheckBox");
    form->addWidget(nonBroadcastDfltCheckBox_);
    taskTrayIconCheckBox_ =
        MakeCheckBox(tr("Put the icon in the task tray"), "taskTrayIconCheckBox");
    form->addWidget(taskTrayIconCheckBox_);
    form->addSpacing(6);
    QLayout* shutdown = BuildShutdown();
    form->addWidget(remoteShutdownCheckBox_);
    form->addLayout(shutdown);
    form->addSpacing(6);
    form->addWidget(BuildWake());
    form->addWidget(BuildButtons());
    form->setSizeConstraint(QLayout::SetFixedSize);
}

void COptionDlg::SetValues(const OptionValues& values)
{
    values_ = values;
    ShowValues();
}

void COptionDlg::ShowValues()
{
    icmpTimeOutEdit_->setText(QString::number(values_.icmpTimeOut));
    maxHostNumEdit_->setText(QString::number(values_.maxHostNum));
    portNoEdit_->setText(QString::number(values_.portNo));
    initRefreshCheckBox_->setChecked(values_.initRefresh);
    noExternalCommandCheckBox_->setChecked(values_.noExternalCommand);
    checkNetworkSegmentCheckBox_->setChecked(values_.checkNetworkSegment);
    autoRefreshCheckBox_->setChecked(values_.autoRefresh);
    timerIntervalEdit_->setText(QString::number(values_.timerInterval));
    arpProbeCheckBox_->setChecked(values_.arpProbe);
    vendorColumnCheckBox_->setChecked(values_.vendorColumn);
    markTypeShown_ = values_.markType == 1 ? 1 : 0;
    (markTypeShown_ == 1 ? textMarkRadioButton_ : iconMarkRadioButton_)->setChecked(true);
    backColorSwatch_->SetColor(ToQColor(values_.markBackColor));
    textColorSwatch_->SetColor(ToQColor(values_.markTextColor));
    markTextEdit_->setText(QString::fromStdString(values_.markText));
    nonBroadcastDfltCheckBox_->setChecked(values_.nonBroadcastDflt);
    taskTrayIconCheckBox_->setChecked(values_.taskTrayIcon);
    remoteShutdownCheckBox_->setChecked(values_.enableRemoteShutdown);
    shutdownCommandEdit_->setText(QString::fromStdString(values_.shutdownCommand));
    ShowWakeValues();
    UpdateTextMarkGroup();
    UpdateShutdownGroup();
}

bool COptionDlg::TakeControls(OptionValues& values)
{
    std::vector<NumberField> numbers{{
        {icmpTimeOutEdit_, kMinIcmpTimeOut, kMaxIcmpTimeOut, &OptionValues::icmpTimeOut},
        {portNoEdit_, kMinPortNo, kMaxPortNo, &OptionValues::portNo},
        {maxHostNumEdit_, 0, kMaxHostNum, &OptionValues::maxHostNum},
        {timerIntervalEdit_, kMinTimerInterval, kMaxTimerInterval, &OptionValues::timerInterval},
    }};
    for (const NumberField& field : WakeNumberFields())
        numbers.push_back(field);
    for (const NumberField& field : numbers) {
        const QString text = field.edit->text().trimmed();
        bool isNumber = false;
        const qulonglong number = text.toULongLong(&isNumber);
        if (!isNumber || number < field.minimum || number > field.maximum) {
            ModalSeam::Error(this,
                text.isEmpty() ? tr("Please enter an integer.")
                               : tr("Please enter an integer between %1 and %2.")
                                     .arg(field.minimum)
                                     .arg(field.maximum));
            field.edit->setFocus();
            field.edit->selectAll();
            return false;
        }
        values.*field.value = static_cast<std::uint32_t>(number);
    }
    values.initRefresh = initRefreshCheckBox_->isChecked();
    values.noExternalCommand = noExternalCommandCheckBox_->isChecked();
    values.checkNetworkSegment = checkNetworkSegmentCheckBox_->isChecked();
    values.autoRefresh = autoRefreshCheckBox_->isChecked();
    values.arpProbe = arpProbeCheckBox_->isChecked();
    values.vendorColumn = vendorColumnCheckBox_->isChecked();
    values.markType = textMarkRadioButton_->isChecked() ? 1 : 0;
    values.markBackColor = ToColorValue(backColorSwatch_->Color());
    values.markTextColor = ToColorValue(textColorSwatch_->Color());
    values.markText = OneLine(markTextEdit_->text());
    values.nonBroadcastDflt = nonBroadcastDfltCheckBox_->isChecked();
    values.taskTrayIcon = taskTrayIconCheckBox_->isChecked();
    values.enableRemoteShutdown = remoteShutdownCheckBox_->isChecked();
    values.shutdownCommand = OneLine(shutdownCommandEdit_->text());
    return TakeWakeControls(values);
}

void COptionDlg::accept()
{
    OptionValues edited = values_;
    if (!TakeControls(edited))
        return;
    values_ = std::move(edited);
    QDialog::accept();
}

void COptionDlg::ChooseMarkType()
{
    OptionValues checked = values_;
    if (TakeControls(checked))
        markTypeShown_ = checked.markType;
    else
        (markTypeShown_ == 1 ? textMarkRadioButton_ : iconMarkRadioButton_)->setChecked(true);
    UpdateTextMarkGroup();
}

void COptionDlg::UpdateTextMarkGroup()
{
    // The colours and the text matter only to a text mark; disabled, the
    // swatches show no colour.
    const bool textMark = textMarkRadioButton_->isChecked();
    for (QWidget* widget : std::initializer_list<QWidget*>{backColorLabel_, backColorSwatch_,
             textColorLabel_, textColorSwatch_, markTextLabel_, markTextEdit_})
        widget->setEnabled(textMark);
}

void COptionDlg::UpdateShutdownGroup()
{
    const bool enabled = remoteShutdownCheckBox_->isChecked();
    for (QWidget* widget : std::initializer_list<QWidget*>{
             shutdownCommandLabel_, shutdownCommandEdit_, shutdownCommandNote_})
        widget->setEnabled(enabled);
}

void COptionDlg::ChooseColor(ColorSwatch* swatch)
{
    if (const std::optional<QColor> chosen = ModalSeam::ChooseColor(this, swatch->Color()))
        swatch->SetColor(*chosen);
}

} // namespace pondel
