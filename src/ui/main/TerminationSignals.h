#pragma once

#include <QObject>

class QSocketNotifier;

namespace pondel {

// Turns SIGTERM and SIGINT into a queued signal of the event loop, so that
// they close the window the normal way and its settings are saved. The
// previous handlers come back when the object goes. One at a time.
class TerminationSignals final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TerminationSignals)

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void Requested();

private:
    void Drain();

    int readFd_ = -1;
    int writeFd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace pondel
