#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "WakeListener.h"

namespace pondel {

// The lines of a wake listener: a packet identical to the one that opened a
// line (same sender, to, path, target and SecureOn) within a second of it is
// counted on that line instead of making its own. The sender's port does not
// count: senders commonly open a socket, and so a port, per datagram.
class WakeLineBook final {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kRepeatWindow{1};

    // The line the packet opens (numbered, repeats 1) or the line it is
    // counted on (repeats grown), as it stands now; `packet.line` and
    // `packet.repeats` are ignored. The sender is `packet.from` without its
    // port. `now` never goes back.
    [[nodiscard]] const HeardWakePacket& Add(
        const HeardWakePacket& packet, std::string_view sender, Clock::time_point now);

private:
    struct OpenLine {
        HeardWakePacket line;
        std::string sender;
        Clock::time_point opened;
    };
    // Lines whose second has not passed, oldest first.
    std::vector<OpenLine> open_;
    std::uint64_t lastLine_ = 0;
};

} // namespace pondel
