#pragma once

#include <QString>

#include "LookupDialog.h"

class QLineEdit;
class QPushButton;

namespace pondel {

class AddressEdit;

// Finds the host name of an IP address. From the Tool menu it is a tool with
// a Close button; opened by the host edit dialog (return mode) its OK gives
// the name back.
class CGetHostDlg final : public LookupDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CGetHostDlg)

public:
    // The longest name kept from the resolver's answer.
    static constexpr int kMaxNameLength = 63;

    explicit CGetHostDlg(QWidget* parent = nullptr);

    void SetReturnMode(bool returnMode);
    // Empty text leaves the address field empty.
    void SetIpAddress(const QString& ipAddress);
    void SetHostName(const QString& hostName);
    // The name found, or otherwise the text of the name field.
    [[nodiscard]] QString HostName() const;

private:
    // Looks the address up when it is complete; then, when thenAccept,
    // closes with OK whatever the answer was.
    void LookUp(bool thenAccept);

    AddressEdit* ipAddressEdit_ = nullptr;
    QLineEdit* hostNameEdit_ = nullptr;
    QPushButton* getHostNameButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

} // namespace pondel
