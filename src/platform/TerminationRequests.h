#pragma once

#include <chrono>
#include <memory>

#include "Result.h"
#include "SocketHandle.h"

namespace pondel {

// While it lives, the system's requests to end the program (SIGTERM and
// SIGINT) no longer end it at once: each makes Descriptor() readable, so
// that an event loop can close the program the normal way and save what it
// must. The previous handling comes back when it goes. One at a time.
class TerminationRequests final {
public:
    // Fails when the descriptors cannot be made; the requests then keep
    // their previous handling.
    [[nodiscard]] static Result<std::unique_ptr<TerminationRequests>> Catch();

    ~TerminationRequests();
    TerminationRequests(const TerminationRequests&) = delete;
    TerminationRequests& operator=(const TerminationRequests&) = delete;

    // Readable once a request has come.
    [[nodiscard]] NativeSocket Descriptor() const { return readEnd_.Get(); }
    // Takes the requests that came, so that Descriptor() waits for the next.
    void Drain();
    // Waits up to `timeout` for a request; true when one has come (and not
    // been drained), for a loop that has no other descriptor to wait on.
    [[nodiscard]] bool WaitFor(std::chrono::milliseconds timeout) const;

private:
    TerminationRequests(SocketHandle readEnd, SocketHandle writeEnd);

    SocketHandle readEnd_;
    SocketHandle writeEnd_;
};

} // namespace pondel
