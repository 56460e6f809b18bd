#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "WakeRequest.h"

namespace pondel {

// The sockets one wake-up sends through, each opened when first needed and
// closed with the transport. One system version per system (linux/).
class WakeTransport final {
public:
    WakeTransport();
    ~WakeTransport();
    WakeTransport(const WakeTransport&) = delete;
    WakeTransport& operator=(const WakeTransport&) = delete;

    // Sends the payload the way the line says and records in it what became
    // of it: kSent; kFailed with the system's reason; or, for the raw frame,
    // kSkipped with the reason when this process may not send frames.
    void Send(WakeSendLine& line, std::span<const std::uint8_t> payload);

private:
    struct Sockets;
    std::unique_ptr<Sockets> sockets_;
};

} // namespace pondel
