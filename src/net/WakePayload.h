#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "MacAddress.h"

namespace pondel {

// What a magic packet's payload says: six bytes FF, then sixteen copies of
// the target's MAC, then optionally a SecureOn password of 4 or 6 bytes.
struct WakePayload {
    MacAddress target{};
    // 0 when no password follows, else 4 or 6. The password itself is never
    // kept: a listener shows only that one was there.
    std::size_t secureOnLength = 0;
};

// Reads a datagram's or frame's payload as a magic packet: exactly 102, 106
// or 108 bytes of the form above. None for anything else (short, a copy
// that differs, a seventeenth copy, trailing bytes). Reads no byte past the
// span.
[[nodiscard]] std::optional<WakePayload> ParseWakePayload(
    std::span<const std::uint8_t> bytes) noexcept;

} // namespace pondel
