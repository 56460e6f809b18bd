#pragma once

#include <QString>

#include "LookupDialog.h"

class QLineEdit;
class QPushButton;

namespace pondel {

// Finds the IP address of a host name. From the Tool menu it is a tool with
// a Close button; opened by the host edit dialog (return mode) its OK gives
// the address back.
class CGetIpDlg final : public LookupDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CGetIpDlg)

public:
    explicit CGetIpDlg(QWidget* parent = nullptr);

    void SetReturnMode(bool returnMode);
    void SetHostName(const QString& hostName);
    void SetIpAddress(const QString& ipAddress);
    [[nodiscard]] QString HostName() const;
    // The address found, or after a failed lookup the text shown before.
    [[nodiscard]] QString IpAddress() const;

private:
    // Looks the name up; then, when thenAccept, closes with OK whatever the
    // answer was.
    void LookUp(bool thenAccept);

    QLineEdit* hostNameEdit_ = nullptr;
    QLineEdit* ipAddressEdit_ = nullptr;
    QPushButton* getIpAddressButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

} // namespace pondel
