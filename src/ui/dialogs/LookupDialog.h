#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include <QDialog>
#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>

namespace pondel {

// A dialog that asks the network something. The question runs on a pool
// thread, since a resolver or a silent link can keep it waiting for
// seconds; meanwhile the dialog shows it is busy and takes no second
// question, but can still be closed. An answer that arrives after the
// dialog has closed is dropped.
class LookupDialog : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LookupDialog)

public:
    [[nodiscard]] bool IsBusy() const noexcept { return running_ != nullptr; }

    // Closing drops the question that runs, if any.
    void done(int result) override;

signals:
    // An answer has been applied (also one reported as a failure).
    void LookupFinished();

protected:
    explicit LookupDialog(QWidget* parent);

    // These are disabled while a question runs; the closing button is not
    // among them.
    void SetBusyWidgets(std::vector<QWidget*> widgets);

    // Runs work on a pool thread and hands its answer to apply on this
    // dialog's thread, unless the dialog has closed by then.
    template <typename T>
    void StartLookup(std::function<T()> work, std::function<void(const T&)> apply)
    {
        auto promise = std::make_shared<QPromise<T>>();
        auto* watcher = new QFutureWatcher<T>(this);
        connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, apply] {
            if (watcher != running_)
                return;
            const bool answered = watcher->future().resultCount() > 0;
            const T answer = answered ? watcher->result() : T{};
            EndLookup();
            if (answered)
                apply(answer);
            emit LookupFinished();
        });
        watcher->setFuture(promise->future());
        BeginLookup(watcher);
        promise->start();
        QThreadPool::globalInstance()->start([promise, work = std::move(work)] {
            promise->addResult(work());
            promise->finish();
        });
    }

private:
    void BeginLookup(QFutureWatcherBase* watcher);
    void EndLookup();
    void ShowBusy(bool busy);

    std::vector<QWidget*> busyWidgets_;
    QFutureWatcherBase* running_ = nullptr;
};

} // namespace pondel
