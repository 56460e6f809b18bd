#include "WakePayload.h"

#include <algorithm>

namespace pondel {
namespace {

constexpr std::size_t kSyncLength = 6;
constexpr std::size_t kCopies = 16;
constexpr std::size_t kMagicLength = kSyncLength + kCopies * 6;

} // namespace

std::optional<WakePayload> ParseWakePayload(std::span<const std::uint8_t> bytes) noexcept
{
    // The length alone rules out short packets and stray trailing bytes
    // before any byte is read.
    const std::size_t passwordLength = bytes.size() - std::min(bytes.size(), kMagicLength);
    if (bytes.size() < kMagicLength ||
        (passwordLength != 0 && passwordLength != 4 && passwordLength != 6))
        return std::nullopt;
    const auto sync = bytes.first(kSyncLength);
    if (!std::ranges::all_of(sync, [](std::uint8_t byte) { return byte == 0xFF; }))
        return std::nullopt;
    WakePayload payload;
    std::ranges::copy(bytes.subspan(kSyncLength, 6), payload.target.begin());
    for (std::size_t copy = 1; copy < kCopies; ++copy) {
        if (!std::ranges::equal(bytes.subspan(kSyncLength + copy * 6, 6), payload.target))
            return std::nullopt;
    }
    // Six more bytes equal to the target are a seventeenth copy from a
    // faulty sender, not a password.
    if (passwordLength == 6 && std::ranges::equal(bytes.subspan(kMagicLength), payload.target))
        return std::nullopt;
    payload.secureOnLength = passwordLength;
    return payload;
}

} // namespace pondel
