// Datagrams and frames as the wake listener receives them: the parser reads
// no byte past the payload, accepts only the six FF bytes and sixteen equal
// copies with a 4- or 6-byte password at most, and any MAC with any
// password length it allows, built by hand, reads back as itself.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "FuzzCheck.h"
#include "WakePayload.h"

namespace {

using namespace pondel;
using namespace pondel::fuzz;

constexpr std::size_t kMagicLength = 102;

// The same rule, written the plain way.
bool IsMagicPacket(std::span<const std::uint8_t> bytes)
{
    const std::size_t size = bytes.size();
    if (size != kMagicLength && size != kMagicLength + 4 && size != kMagicLength + 6)
        return false;
    for (std::size_t i = 0; i < 6; ++i)
        if (bytes[i] != 0xFF)
            return false;
    for (std::size_t i = 12; i < kMagicLength; ++i)
        if (bytes[i] != bytes[i - 6])
            return false;
    // Six more bytes like the copies are a seventeenth copy.
    return size != kMagicLength + 6 ||
        std::memcmp(bytes.data() + kMagicLength, bytes.data() + 6, 6) != 0;
}

void CheckBuilt(std::span<const std::uint8_t> seed)
{
    MacAddress mac{};
    std::memcpy(mac.data(), seed.data(), mac.size());
    std::vector<std::uint8_t> packet(6, 0xFF);
    for (int copy = 0; copy < 16; ++copy)
        packet.insert(packet.end(), mac.begin(), mac.end());
    // The seed's next byte picks the password's length, its bytes follow.
    constexpr std::size_t kLengths[] = {0, 4, 6};
    const std::size_t length = seed.size() > 6 ? kLengths[seed[6] % 3] : 0;
    for (std::size_t i = 0; i < length; ++i)
        packet.push_back(seed[(7 + i) % seed.size()]);
    const std::optional<WakePayload> payload = ParseWakePayload(packet);
    Require(payload.has_value() == IsMagicPacket(packet), "a built packet reads as the rule says");
    if (payload)
        Require(payload->target == mac && payload->secureOnLength == packet.size() - kMagicLength,
            "a built packet reads back as its MAC and password length");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A copy of exactly the input's size, so that AddressSanitizer catches a
    // read past its end.
    const std::vector<std::uint8_t> input(data, data + size);
    const std::span<const std::uint8_t> bytes(input);
    const std::optional<WakePayload> payload = ParseWakePayload(bytes);
    Require(payload.has_value() == IsMagicPacket(bytes), "the parser follows the rule");
    if (payload) {
        Require(std::memcmp(payload->target.data(), input.data() + 6, 6) == 0,
            "the target is the first copy");
        Require(payload->secureOnLength == size - kMagicLength,
            "the password is whatever follows the copies");
    }
    if (size >= 6)
        CheckBuilt(bytes);
    return 0;
}
