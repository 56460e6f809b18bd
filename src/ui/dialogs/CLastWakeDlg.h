#pragma once

#include <QDialog>

#include "WakeCommands.h"

class QLabel;
class QTableWidget;

namespace pondel {

// The Last Wake view: every datagram and frame of the last wake-up, one row
// each, with its host, path, destination, port, interface, round, result and
// the system's reason for a failure. Modeless; the window hands it each new
// wake-up while it is open.
class CLastWakeDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CLastWakeDlg)

public:
    explicit CLastWakeDlg(QWidget* parent = nullptr);

    // Shows the wake-up's lines; none shows that nothing was sent yet.
    void ShowWake(const WakeBatch* batch);

    // What a wake-up sent in one line, as the status bar shows it:
    // "pc1: 12 packets on 4 paths, 1 skipped".
    [[nodiscard]] static QString SummaryText(const WakeSummary& summary);
    // The texts of a report's fields as the view shows them.
    [[nodiscard]] static QString PathText(WakePath path);
    [[nodiscard]] static QString StateText(WakeSendState state);

private:
    QLabel* summary_ = nullptr;
    QTableWidget* table_ = nullptr;
};

} // namespace pondel
