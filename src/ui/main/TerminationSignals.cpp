#include "TerminationSignals.h"

#include <cstdio>
#include <utility>

#include <QSocketNotifier>

#include "TerminationRequests.h"

namespace pondel {

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent)
{
    Result<std::unique_ptr<TerminationRequests>> requests = TerminationRequests::Catch();
    if (!requests) {
        std::fprintf(stderr, "%s\n", requests.Error().message.c_str());
        return;
    }
    requests_ = std::move(requests).Value();
    notifier_ = new QSocketNotifier(requests_->Descriptor(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        requests_->Drain();
        emit Requested();
    });
}

// The notifier goes before the descriptor it watches.
TerminationSignals::~TerminationSignals()
{
    delete notifier_;
}

} // namespace pondel
