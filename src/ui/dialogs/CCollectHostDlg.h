#pragma once

#include <QDialog>

#include "CollectRange.h"

class QLineEdit;

namespace pondel {

class AddressEdit;

// The range of a host collection: start and end address, netmask and the
// wait for each echo reply. Blank address fields read as 0.
class CCollectHostDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCollectHostDlg)

public:
    explicit CCollectHostDlg(QWidget* parent = nullptr);

    void SetRequest(const CollectRequest& request);
    // What the fields held when Start was pressed.
    [[nodiscard]] const CollectRequest& Request() const noexcept { return request_; }

    void accept() override;

private:
    CollectRequest request_;
    AddressEdit* startEdit_ = nullptr;
    AddressEdit* endEdit_ = nullptr;
    AddressEdit* netMaskEdit_ = nullptr;
    QLineEdit* timeOutEdit_ = nullptr;
};

} // namespace pondel
