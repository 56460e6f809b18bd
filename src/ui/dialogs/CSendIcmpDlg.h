#pragma once

#include <QString>

#include "HostProbe.h"
#include "LookupDialog.h"

class QLineEdit;
class QPushButton;

namespace pondel {

// Sends one echo request to a host and says whether it answered. The probe
// is the status monitor's: our own echo or the system ping, with its wait.
class CSendIcmpDlg final : public LookupDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSendIcmpDlg)

public:
    explicit CSendIcmpDlg(QWidget* parent = nullptr);

    void SetProbeSettings(const ProbeSettings& settings) { probeSettings_ = settings; }
    void SetHost(const QString& host);
    [[nodiscard]] QString Host() const;
    [[nodiscard]] QString Status() const;

private:
    void Send();

    ProbeSettings probeSettings_;
    QLineEdit* hostEdit_ = nullptr;
    QLineEdit* statusEdit_ = nullptr;
    QPushButton* sendButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
};

} // namespace pondel
