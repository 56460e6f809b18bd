#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QDialog>
#include <QString>

#include "HostTexts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pondel {

class AddressEdit;

// One host of the list: name, comment, IP address, netmask and MAC address,
// its wake-up options, the interface and the SecureOn password, and its
// group. The caller sets the texts, runs the dialog and after OK reads them
// back; OK is taken only with a complete IP address, a MAC address and a
// SecureOn password that are empty or one (then held in the canonical form),
// an interface that is empty or can be one, and a group name that is empty or
// valid once its blanks are trimmed. The Get buttons fill a field from the
// lookup dialogs.
class CHostEditDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CHostEditDlg)

public:
    static constexpr const char* kDefaultNetMask = "255.255.255.0";

    explicit CHostEditDlg(QWidget* parent = nullptr);

    // Titles the dialog "Add Host" for a new host, "Edit Host" (the
    // default) for one in the list.
    void SetAddMode(bool addMode);

    // Empty address texts leave their fields empty; text that is not an
    // address shows as 255.255.255.255.
    void SetValues(const HostTexts& values);
    // After OK: the texts as confirmed.
    [[nodiscard]] HostTexts Values() const;
    void SetWakeOptions(const HostWakeTexts& options);
    [[nodiscard]] HostWakeTexts WakeOptions() const;
    // The groups offered in the Group field's list, and the host's own.
    void SetGroupChoices(const std::vector<std::string>& groups);
    void SetGroup(const std::string& group);
    [[nodiscard]] std::string Group() const;

    // Names the vendor of the MAC address beside it as it is typed. The
    // lookup must not wait: it gives an empty name while none is known.
    void SetVendorLookup(std::function<QString(const QString& mac)> vendorOf);
    // Asks the lookup again, as when its registry has just been read.
    void ShowVendor();

    void accept() override;

private:
    // The last complete address typed, else the text given at the start.
    [[nodiscard]] std::string CurrentIpText();
    void FollowIpAddress();
    void GetHostName();
    void GetIpAddress();
    void GetMacAddress();
    // The field's MAC address in the canonical form, or false after saying
    // that it is none.
    [[nodiscard]] bool TakeMacAddress();
    [[nodiscard]] bool TakeSecureOn();
    [[nodiscard]] bool TakeInterfaceName();
    [[nodiscard]] bool TakeGroup();

    std::string ipText_;
    std::string netMaskText_ = kDefaultNetMask;

    QLineEdit* hostNameEdit_ = nullptr;
    QLineEdit* commentEdit_ = nullptr;
    AddressEdit* ipAddressEdit_ = nullptr;
    AddressEdit* netMaskEdit_ = nullptr;
    QLineEdit* macAddressEdit_ = nullptr;
    QLineEdit* interfaceEdit_ = nullptr;
    QLineEdit* secureOnEdit_ = nullptr;
    QComboBox* groupComboBox_ = nullptr;
    QPushButton* getHostNameButton_ = nullptr;
    QPushButton* getIpAddressButton_ = nullptr;
    QPushButton* getMacAddressButton_ = nullptr;
    QLabel* vendorLabel_ = nullptr;
    std::function<QString(const QString&)> vendorOf_;
};

} // namespace pondel
