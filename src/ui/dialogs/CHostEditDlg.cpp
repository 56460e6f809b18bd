#include "CHostEditDlg.h"

#include <cstdint>
#include <optional>
#include <string>

#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "AddressEdit.h"
#include "AddressLookup.h"
#include "CGetHostDlg.h"
#include "CGetIpDlg.h"
#include "CGetMacAddrDlg.h"
#include "HostGroups.h"
#include "Ipv4Text.h"
#include "MacAddress.h"
#include "ModalSeam.h"
#include "TextLimit.h"
#include "WakeOptionTexts.h"

namespace pondel {
namespace {

QString FromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

void ShowAddressText(AddressEdit& edit, const std::string& text)
{
    if (text.empty())
        edit.clear();
    else
        edit.SetAddress(TextToIp(text));
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, int limit)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    LimitToRecordField(*edit, limit);
    return edit;
}

QPushButton* MakeGetButton(QWidget* parent, const QString& text, const char* name)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

CHostEditDlg::CHostEditDlg(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("hostEditDialog"));
    SetAddMode(false);

    hostNameEdit_ = MakeEdit(this, "hostNameEdit", kHostNameLimit);
    commentEdit_ = MakeEdit(this, "commentEdit", kCommentLimit);
    ipAddressEdit_ = new AddressEdit(this);
    ipAddressEdit_->setObjectName(QStringLiteral("ipAddressEdit"));
    netMaskEdit_ = new AddressEdit(this);
    netMaskEdit_->setObjectName(QStringLiteral("netMaskEdit"));
    netMaskEdit_->SetAddress(TextToIp(kDefaultNetMask));
    macAddressEdit_ = MakeEdit(this, "macAddressEdit", kMacAddrLimit);
    interfaceEdit_ = MakeEdit(this, "interfaceEdit", kInterfaceNameLimit);
    interfaceEdit_->setPlaceholderText(tr("chosen by the IP address"));
    secureOnEdit_ = MakeEdit(this, "secureOnEdit", kSecureOnLimit);
    secureOnEdit_->setPlaceholderText(tr("none"));
    groupComboBox_ = new QComboBox(this);
    groupComboBox_->setObjectName(QStringLiteral("groupComboBox"));
    groupComboBox_->setEditable(true);
    // The list offers the groups there are; a name typed makes a new one
    // once the host is stored, not an entry of this list.
    groupComboBox_->setInsertPolicy(QComboBox::NoInsert);
    LimitToRecordField(*groupComboBox_->lineEdit(), kGroupLimit);
    groupComboBox_->lineEdit()->setPlaceholderText(tr("none"));
    getHostNameButton_ = MakeGetButton(this, tr("Get..."), "getHostNameButton");
    getIpAddressButton_ = MakeGetButton(this, tr("Get..."), "getIpAddressButton");
    getMacAddressButton_ = MakeGetButton(this, tr("Get..."), "getMacAddressButton");

    auto* grid = new QGridLayout;
    const auto addRow = [this, grid](
                            int row, const QString& label, QWidget* field, QPushButton* button) {
        auto* text = new QLabel(label, this);
        text->setBuddy(field);
        grid->addWidget(text, row, 0);
        grid->addWidget(field, row, 1);
        if (button != nullptr)
            grid->addWidget(button, row, 2);
    };
    addRow(0, tr("Host Name:"), hostNameEdit_, getHostNameButton_);
    addRow(1, tr("Comment:"), commentEdit_, nullptr);
    addRow(2, tr("IP Address:"), ipAddressEdit_, getIpAddressButton_);
    addRow(3, tr("Netmask:"), netMaskEdit_, nullptr);
    addRow(4, tr("MAC Address:"), macAddressEdit_, getMacAddressButton_);
    addRow(5, tr("Interface:"), interfaceEdit_, nullptr);
    addRow(6, tr("SecureOn:"), secureOnEdit_, nullptr);
    addRow(7, tr("Group:"), groupComboBox_, nullptr);
    vendorLabel_ = new QLabel(this);
    vendorLabel_->setObjectName(QStringLiteral("vendorLabel"));
    vendorLabel_->setMinimumWidth(120);
    grid->addWidget(vendorLabel_, 4, 3);
    grid->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CHostEditDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addStretch();
    outer->addWidget(buttons);
    setMinimumWidth(420);

    // Only what the user types moves the netmask, not the values set here.
    connect(ipAddressEdit_, &QLineEdit::textEdited, this, &CHostEditDlg::FollowIpAddress);
    connect(getHostNameButton_, &QPushButton::clicked, this, &CHostEditDlg::GetHostName);
    connect(getIpAddressButton_, &QPushButton::clicked, this, &CHostEditDlg::GetIpAddress);
    connect(getMacAddressButton_, &QPushButton::clicked, this, &CHostEditDlg::GetMacAddress);
    connect(macAddressEdit_, &QLineEdit::textChanged, this, &CHostEditDlg::ShowVendor);
}

void CHostEditDlg::SetVendorLookup(std::function<QString(const QString& mac)> vendorOf)
{
    vendorOf_ = std::move(vendorOf);
    ShowVendor();
}

void CHostEditDlg::ShowVendor()
{
    const QString mac = macAddressEdit_->text().trimmed();
    vendorLabel_->setText(vendorOf_ && !mac.isEmpty() ? vendorOf_(mac) : QString());
}

void CHostEditDlg::SetAddMode(bool addMode)
{
    setWindowTitle(addMode ? tr("Add Host") : tr("Edit Host"));
}

void CHostEditDlg::SetValues(const HostTexts& values)
{
    hostNameEdit_->setText(FromStd(values.hostName));
    commentEdit_->setText(FromStd(values.comment));
    macAddressEdit_->setText(FromStd(values.macAddr));
    ipText_ = values.ipAddr;
    netMaskText_ = values.netMask;
    ShowAddressText(*ipAddressEdit_, ipText_);
    ShowAddressText(*netMaskEdit_, netMaskText_);
}

HostTexts CHostEditDlg::Values() const
{
    return HostTexts{hostNameEdit_->text().toStdString(), commentEdit_->text().toStdString(),
        ipText_, netMaskText_, macAddressEdit_->text().toStdString()};
}

void CHostEditDlg::SetWakeOptions(const HostWakeTexts& options)
{
    interfaceEdit_->setText(FromStd(options.interfaceName));
    secureOnEdit_->setText(FromStd(options.secureOn));
}

HostWakeTexts CHostEditDlg::WakeOptions() const
{
    return {interfaceEdit_->text().toStdString(), secureOnEdit_->text().toStdString()};
}

void CHostEditDlg::SetGroupChoices(const std::vector<std::string>& groups)
{
    const QString shown = groupComboBox_->currentText();
    groupComboBox_->clear();
    for (const std::string& group : groups)
        groupComboBox_->addItem(FromStd(group));
    groupComboBox_->setEditText(shown);
}

void CHostEditDlg::SetGroup(const std::string& group)
{
    groupComboBox_->setEditText(FromStd(group));
}

std::string CHostEditDlg::Group() const
{
    return groupComboBox_->currentText().toStdString();
}

std::string CHostEditDlg::CurrentIpText()
{
    if (ipAddressEdit_->IsComplete())
        ipText_ = IpToText(ipAddressEdit_->Address());
    return ipText_;
}

void CHostEditDlg::FollowIpAddress()
{
    netMaskEdit_->SetAddress(pondel::GetNetMask(ipAddressEdit_->Address()));
}

void CHostEditDlg::GetIpAddress()
{
    CGetIpDlg lookup(this);
    lookup.SetReturnMode(true);
    lookup.SetHostName(hostNameEdit_->text());
    lookup.SetIpAddress(FromStd(CurrentIpText()));
    if (ModalSeam::Exec(lookup) != QDialog::Accepted)
        return;
    const std::string found = lookup.IpAddress().toStdString();
    // Nothing found and nothing given: the fields keep what they show.
    if (found.empty())
        return;
    ipText_ = found;
    const std::uint32_t address = TextToIp(found);
    ipAddressEdit_->SetAddress(address);
    netMaskEdit_->SetAddress(pondel::GetNetMask(address));
}

void CHostEditDlg::GetHostName()
{
    CGetHostDlg lookup(this);
    lookup.SetReturnMode(true);
    lookup.SetIpAddress(FromStd(CurrentIpText()));
    lookup.SetHostName(hostNameEdit_->text());
    // A lookup that finds nothing clears its name; the field keeps its own.
    if (ModalSeam::Exec(lookup) == QDialog::Accepted && !lookup.HostName().isEmpty())
        hostNameEdit_->setText(lookup.HostName());
}

void CHostEditDlg::GetMacAddress()
{
    CGetMacAddrDlg lookup(this);
    lookup.SetReturnMode(true);
    lookup.SetHost(FromStd(CurrentIpText()));
    if (ModalSeam::Exec(lookup) == QDialog::Accepted && !lookup.MacAddress().isEmpty())
        macAddressEdit_->setText(lookup.MacAddress());
}

bool CHostEditDlg::TakeMacAddress()
{
    const std::optional<std::string> mac = StoredMacText(macAddressEdit_->text().toStdString());
    if (!mac) {
        // The wake-up's own message, so that the user meets one text for it.
        ModalSeam::Notice(
            this, QCoreApplication::translate("Messages", "It is illegal MAC address"));
        macAddressEdit_->setFocus();
        macAddressEdit_->selectAll();
        return false;
    }
    macAddressEdit_->setText(QString::fromStdString(*mac));
    return true;
}

bool CHostEditDlg::TakeSecureOn()
{
    const std::optional<std::string> password = StoredMacText(secureOnEdit_->text().toStdString());
    if (!password) {
        ModalSeam::Notice(
            this, QCoreApplication::translate("Messages", "It is illegal SecureOn password"));
        secureOnEdit_->setFocus();
        secureOnEdit_->selectAll();
        return false;
    }
    secureOnEdit_->setText(QString::fromStdString(*password));
    return true;
}

bool CHostEditDlg::TakeInterfaceName()
{
    const QString name = interfaceEdit_->text().trimmed();
    if (!name.isEmpty() && !IsValidInterfaceName(name.toStdString())) {
        ModalSeam::Notice(
            this, tr("An interface name has at most 15 characters, without blanks, '/' or ':'."));
        interfaceEdit_->setFocus();
        interfaceEdit_->selectAll();
        return false;
    }
    interfaceEdit_->setText(name);
    return true;
}

bool CHostEditDlg::TakeGroup()
{
    const QString name = groupComboBox_->currentText().trimmed();
    if (!IsValidGroupName(name.toStdString())) {
        ModalSeam::Notice(this,
            tr("A group name has at most 31 bytes, without control characters, and is not "
               "\"*\"."));
        groupComboBox_->setFocus();
        groupComboBox_->lineEdit()->selectAll();
        return false;
    }
    groupComboBox_->setEditText(name);
    return true;
}

void CHostEditDlg::accept()
{
    if (!ipAddressEdit_->IsComplete()) {
        ModalSeam::Notice(this, tr("Please enter the IP address"));
        ipAddressEdit_->setFocus();
        return;
    }
    if (!TakeMacAddress() || !TakeInterfaceName() || !TakeSecureOn() || !TakeGroup())
        return;
    const std::uint32_t address = ipAddressEdit_->Address();
    ipText_ = IpToText(address);
    const std::uint32_t netMask =
        netMaskEdit_->IsComplete() ? netMaskEdit_->Address() : pondel::GetNetMask(address);
    netMaskText_ = IpToText(netMask);
    QDialog::accept();
}

} // namespace pondel
