#pragma once

#include <memory>

#include <QObject>

class QSocketNotifier;

namespace pondel {

class TerminationRequests;

// Turns the system's requests to end the program into a queued signal of
// the event loop, so that they close the window the normal way and its
// settings are saved. When they cannot be caught, the reason goes to the
// console and they end the program as before. One at a time.
class TerminationSignals final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TerminationSignals)

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void Requested();

private:
    std::unique_ptr<TerminationRequests> requests_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace pondel
