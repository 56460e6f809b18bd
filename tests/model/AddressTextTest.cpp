#include "Ipv4Text.h"
#include "MacAddress.h"

#include <gtest/gtest.h>

namespace pondel {
namespace {

TEST(MacAddressTest, SixPairsWithAnySeparators)
{
    const std::pair<const char*, const char*> cases[] = {{"00:11:22:33:44:55", "00:11:22:33:44:55"},
        {"00-11-22-33-44-55", "00:11:22:33:44:55"}, {"001122334455", "00:11:22:33:44:55"},
        {"0011.2233.4455", "00:11:22:33:44:55"}, {"00:11-22 33.44_55", "00:11:22:33:44:55"},
        {"  00:11:22:33:44:55  ", "00:11:22:33:44:55"}, {"aa:bb:cc:dd:ee:ff", "AA:BB:CC:DD:EE:FF"},
        // Lone digits are dropped and overwritten; a trailing one never
        // completes a byte, nor one after six pairs.
        {"0:11:22:33:44:55:66", "11:22:33:44:55:66"}, {"0:1:2:3:4:5", "invalid"},
        {"00:11:22:33:44:55:6", "00:11:22:33:44:55"}, {"00:11:22:33:44:5", "invalid"},
        // Runs of digits pair up from the left.
        {"00112233445", "invalid"}, {"0011223344556", "00:11:22:33:44:55"},
        {"00112233445566", "invalid"}, {"", "invalid"}, {"zz:zz:zz:zz:zz:zz", "invalid"},
        {"00:11:22:33:44", "invalid"}, {"\xA0\xA1\xA2", "invalid"}};
    for (const auto& [text, expected] : cases) {
        MacAddress mac{};
        EXPECT_EQ(ParseMacAddress(text, mac) == 0 ? FormatMacAddress(mac) : "invalid", expected)
            << text;
    }
}

TEST(MacAddressTest, SevenPairsAreInvalidAndWriteNoSeventhByte)
{
    // The array sits between guards: a seventh byte would land on one.
    struct {
        MacAddress mac{};
        std::uint8_t guard = 0x5A;
    } buffer;
    EXPECT_EQ(ParseMacAddress("00:11:22:33:44:55:66", buffer.mac), -1);
    EXPECT_EQ(buffer.guard, 0x5A);
}

TEST(Ipv4TextTest, ConvertsBothWaysAndRejectedTextGivesAllOnes)
{
    EXPECT_EQ(TextToIp("192.0.2.10"), 0xC000020Au);
    EXPECT_EQ(IpToText(0xC000020Au), "192.0.2.10");
    EXPECT_EQ(IpToText(0), "0.0.0.0");
    // The system's short forms are accepted too.
    EXPECT_EQ(TextToIp("10.1"), 0x0A000001u);
    for (const char* text : {"", "abc", "1.2.3.256", "1.2.3.4.5"})
        EXPECT_EQ(TextToIp(text), kInvalidIp) << '"' << text << '"';
}

} // namespace
} // namespace pondel
