#include "Ipv4Text.h"
#include "MacAddress.h"

#include <gtest/gtest.h>

namespace pondel {
namespace {

std::string Parsed(const char* text)
{
    MacAddress mac{};
    if (ParseMacAddress(text, mac) != 0)
        return "invalid";
    return FormatMacAddress(mac);
}

TEST(MacAddressTest, AcceptsSixPairsWithAnySeparators)
{
    for (const char* text : {"00:11:22:33:44:55", "00-11-22-33-44-55", "001122334455",
             "0011.2233.4455", "00:11-22 33.44_55", "  00:11:22:33:44:55  "})
        EXPECT_EQ(Parsed(text), "00:11:22:33:44:55") << text;
    EXPECT_EQ(Parsed("aa:bb:cc:dd:ee:ff"), "AA:BB:CC:DD:EE:FF");
}

TEST(MacAddressTest, LoneDigitsAreDroppedAndOverwritten)
{
    EXPECT_EQ(Parsed("0:11:22:33:44:55:66"), "11:22:33:44:55:66");
    EXPECT_EQ(Parsed("0:1:2:3:4:5"), "invalid");
    // Six pairs, then a separator and one more digit: the digit is ignored.
    EXPECT_EQ(Parsed("00:11:22:33:44:55:6"), "00:11:22:33:44:55");
    // A trailing lone digit never completes a byte.
    EXPECT_EQ(Parsed("00:11:22:33:44:5"), "invalid");
}

TEST(MacAddressTest, RunsOfDigitsPairUpFromTheLeft)
{
    EXPECT_EQ(Parsed("00112233445"), "invalid");             // eleven digits
    EXPECT_EQ(Parsed("0011223344556"), "00:11:22:33:44:55"); // thirteen: last ignored
    EXPECT_EQ(Parsed("00112233445566"), "invalid");          // fourteen: seven pairs
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

TEST(MacAddressTest, EmptyAndNonHexTextsAreInvalid)
{
    for (const char* text : {"", "zz:zz:zz:zz:zz:zz", "00:11:22:33:44", "\xA0\xA1\xA2"})
        EXPECT_EQ(Parsed(text), "invalid") << text;
}

TEST(Ipv4TextTest, ConvertsBothWays)
{
    EXPECT_EQ(TextToIp("192.0.2.10"), 0xC000020Au);
    EXPECT_EQ(IpToText(0xC000020Au), "192.0.2.10");
    EXPECT_EQ(IpToText(0), "0.0.0.0");
    // The system's short forms are accepted too.
    EXPECT_EQ(TextToIp("10.1"), 0x0A000001u);
}

TEST(Ipv4TextTest, RejectedTextGivesAllOnes)
{
    for (const char* text : {"", "abc", "1.2.3.256", "1.2.3.4.5"})
        EXPECT_EQ(TextToIp(text), kInvalidIp) << '"' << text << '"';
}

} // namespace
} // namespace pondel
