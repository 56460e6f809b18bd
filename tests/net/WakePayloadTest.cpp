// Magic packets as a listener reads them off the wire.
#include <gtest/gtest.h>

#include "WakePayload.h"

namespace pondel {
namespace {

constexpr MacAddress kMac{0x00, 0x11, 0x22, 0x33, 0x44, 0x55};

std::vector<std::uint8_t> Magic(std::size_t copies, const std::vector<std::uint8_t>& tail = {})
{
    std::vector<std::uint8_t> payload(6, 0xFF);
    for (std::size_t i = 0; i < copies; ++i)
        payload.insert(payload.end(), kMac.begin(), kMac.end());
    payload.insert(payload.end(), tail.begin(), tail.end());
    return payload;
}

std::vector<std::uint8_t> WithoutLastByte(std::vector<std::uint8_t> bytes)
{
    bytes.pop_back();
    return bytes;
}

std::vector<std::uint8_t> Changed(std::vector<std::uint8_t> bytes, std::size_t at)
{
    bytes[at] ^= 0x01;
    return bytes;
}

TEST(WakePayloadTest, ReadsOnlyTheMagicPacketAndItsPassword)
{
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
        std::optional<std::size_t> secureOnLength; // none: not a wake packet
    } rows[] = {
        {"the plain packet", Magic(16), 0},
        {"a 4-byte password", Magic(16, {1, 2, 3, 4}), 4},
        {"a 6-byte password", Magic(16, {1, 2, 3, 4, 5, 6}), 6},
        {"empty", {}, std::nullopt},
        {"the sync bytes alone", Magic(0), std::nullopt},
        {"one byte short", WithoutLastByte(Magic(16)), std::nullopt},
        {"15 copies", Magic(15), std::nullopt},
        {"17 copies", Magic(17), std::nullopt},
        {"a wrong sync byte", Changed(Magic(16), 3), std::nullopt},
        {"the first copy differs", Changed(Magic(16), 6), std::nullopt},
        {"a middle copy differs", Changed(Magic(16), 6 + 7 * 6 + 2), std::nullopt},
        {"the last byte differs", Changed(Magic(16), 101), std::nullopt},
        {"one trailing byte", Magic(16, {1}), std::nullopt},
        {"a 5-byte tail", Magic(16, {1, 2, 3, 4, 5}), std::nullopt},
        {"an 8-byte tail", Magic(16, {1, 2, 3, 4, 5, 6, 7, 8}), std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::optional<WakePayload> payload = ParseWakePayload(row.bytes);
        ASSERT_EQ(payload.has_value(), row.secureOnLength.has_value());
        if (payload) {
            EXPECT_EQ(payload->target, kMac);
            EXPECT_EQ(payload->secureOnLength, *row.secureOnLength);
        }
    }
}

} // namespace
} // namespace pondel
