#pragma once

#include <QString>

#include "LookupDialog.h"

class QLineEdit;
class QPushButton;

namespace pondel {

// Finds the MAC address of a host given by name or address. From the Tool
// menu it is a tool with a Close button; opened by the host edit dialog
// (return mode) its OK looks the host up and gives the MAC address back, or
// stays open when none was found.
class CGetMacAddrDlg final : public LookupDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CGetMacAddrDlg)

public:
    explicit CGetMacAddrDlg(QWidget* parent = nullptr);

    void SetReturnMode(bool returnMode);
    void SetHost(const QString& host);
    [[nodiscard]] QString Host() const;
    [[nodiscard]] QString MacAddress() const;

private:
    // Looks the host up; on success, when thenAccept, closes with OK.
    void LookUp(bool thenAccept);

    QLineEdit* hostEdit_ = nullptr;
    QLineEdit* macAddressEdit_ = nullptr;
    QPushButton* getMacAddressButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

} // namespace pondel
