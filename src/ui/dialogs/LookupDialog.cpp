#include "LookupDialog.h"

namespace pondel {

LookupDialog::LookupDialog(QWidget* parent)
    : QDialog(parent)
{
}

void LookupDialog::SetBusyWidgets(std::vector<QWidget*> widgets)
{
    busyWidgets_ = std::move(widgets);
}

void LookupDialog::BeginLookup(QFutureWatcherBase* watcher)
{
    running_ = watcher;
    ShowBusy(true);
}

void LookupDialog::EndLookup()
{
    if (running_ == nullptr)
        return;
    // The pool thread may still hold the promise; the watcher only stops
    // listening to it.
    running_->disconnect(this);
    running_->deleteLater();
    running_ = nullptr;
    ShowBusy(false);
}

void LookupDialog::ShowBusy(bool busy)
{
    for (QWidget* widget : busyWidgets_)
        widget->setEnabled(!busy);
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void LookupDialog::done(int result)
{
    EndLookup();
    QDialog::done(result);
}

} // namespace pondel
