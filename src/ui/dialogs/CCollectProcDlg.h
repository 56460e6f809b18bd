#pragma once

#include <cstdint>

#include <QDialog>

class QLabel;
class QProgressBar;

namespace pondel {

// The progress of a running host collection, shown beside the main window.
// Stop, the close box and Escape ask for the collection to stop; the dialog
// stays until its owner closes it at the collection's end.
class CCollectProcDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCollectProcDlg)

public:
    explicit CCollectProcDlg(QWidget* parent = nullptr);

    // The number of addresses to probe; the bar runs from 0 to it.
    void SetAddressCount(std::uint64_t count);
    // `probed` addresses lie before the one now in check, whose text is shown.
    void ShowAddress(std::uint64_t probed, const QString& address);
    void ShowDetectCount(int count);
    // Closes the dialog for good; it frees itself.
    void Finish();

    [[nodiscard]] QProgressBar* ProgressBar() const noexcept { return progressBar_; }
    [[nodiscard]] QString AddressText() const;
    [[nodiscard]] QString DetectCountText() const;

    // Enter does nothing; Escape and the close box come through reject.
    void accept() override;
    void reject() override;

signals:
    void StopRequested();

private:
    QProgressBar* progressBar_ = nullptr;
    QLabel* addressLabel_ = nullptr;
    QLabel* detectCountLabel_ = nullptr;
    // A bar holds int values: a larger range is shown scaled down.
    int scaleShift_ = 0;
    bool finished_ = false;
};

} // namespace pondel
