#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QDialog>

#include "WakeListener.h"

class QHBoxLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QTableView;

namespace pondel {

class ListenedPacketModel;

// Where the Listen for Wake Packets window takes what it listens with, each
// time it starts: the ports of the settings, and the hosts of the main
// window's rows, whose names the listener gives to the packets' targets.
struct ListenSource {
    std::function<ListenOptions()> options;
    std::function<std::vector<ListenedHost>()> hosts;
};

// The Listen for Wake Packets window: modeless; it starts listening when it
// opens and stops when it closes. Every wake packet that arrives is a row
// (repeats within a second are counted on their row), other arrivals only a
// count; each port or path that could not be opened is named above the
// table, with the system's reason and what would allow it.
//
// The packets arrive on the listener's own thread, which hands them here by
// queued calls; stopping only signals that thread and joins it, so the
// window never waits for the network.
class CListenDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CListenDlg)

public:
    explicit CListenDlg(ListenSource source, QWidget* parent = nullptr);
    // Stops listening.
    ~CListenDlg() override;

    // Opens what the source names and listens on it; says what could not be
    // opened. Nothing when already listening.
    void StartListening();
    void StopListening();
    [[nodiscard]] bool Listening() const noexcept { return session_ != nullptr; }

    // The source's hosts changed (the list was edited): the listener names
    // what it hears from now on after them. Edits come in bursts, so it asks
    // the source a moment after the last.
    void HostsChanged();

    // The ports and paths the next start opens, in place of the source's
    // (tests).
    void UseListenOptions(ListenOptions options);

    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class Session;

    void SetUpTable();
    void SetInitialColumnWidths();
    // Start/Stop, Clear, Copy with what became of it, and Close.
    [[nodiscard]] QHBoxLayout* MakeButtonRow();

    // Queued from the listener's thread; `run` tells starts apart, since
    // each start numbers its lines anew.
    void ShowPacket(std::uint64_t run, const HeardWakePacket& packet);
    void ShowNotWakeCount(std::uint64_t run, std::uint64_t count);

    // What a start opened, and each port or path it could not, with the
    // reason and what would allow it.
    void ShowOpened(const WakeListener::Opened& opened);
    void ShowFailures(const QString& text);
    // Each failure's reason; what would allow it once after the failures
    // it would allow. Empty for none.
    [[nodiscard]] static QString FailureText(const std::vector<ListenFailure>& failures);
    void UpdateNotWakeText();
    void UpdateButtons();
    void Clear();
    void Copy();

    ListenSource source_;
    std::optional<ListenOptions> optionsOverride_;
    ListenedPacketModel* model_ = nullptr;
    QTableView* table_ = nullptr;
    QLabel* listeningOn_ = nullptr;
    QPlainTextEdit* failures_ = nullptr;
    QLabel* notWake_ = nullptr;
    QLabel* message_ = nullptr;
    QPushButton* startStop_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* copy_ = nullptr;
    QTimer* hostsChanged_ = nullptr;

    std::uint64_t run_ = 0;
    // Not a wake packet: shown since opened or cleared, and the current
    // run's count as last heard.
    std::uint64_t notWakeShown_ = 0;
    std::uint64_t notWakeOfRun_ = 0;
    // Last: its thread ends before anything it reports to goes.
    std::unique_ptr<Session> session_;
};

} // namespace pondel
