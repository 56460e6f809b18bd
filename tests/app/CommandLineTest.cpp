#include "CommandLine.h"
#include "WakeUpTarget.h"

#include <gtest/gtest.h>

namespace pondel {
namespace {

using Args = std::vector<std::string>;

TEST(ParseCommandLineTest, OnlyTheLetterAfterTheSwitchCharacterCounts)
{
    for (const Args& args : {Args{"/C"}, Args{"-c"}, Args{"/Cxyz"}, Args{"plain", "-cV"}}) {
        const auto options = ParseCommandLine(args);
        EXPECT_TRUE(options.console) << args.back();
        EXPECT_FALSE(options.version) << args.back();
        EXPECT_FALSE(options.unknownSwitch) << args.back();
    }
    EXPECT_TRUE(ParseCommandLine({"-b"}).broadcast == false);
    EXPECT_TRUE(ParseCommandLine({"/v"}).version);
}

TEST(ParseCommandLineTest, ValueSwitchesSwallowTheNextArgumentWhateverItIs)
{
    const auto options = ParseCommandLine({"/H", "/C", "/i", "-x", "/M", "aa", "/M", "bb", "/N"});
    EXPECT_FALSE(options.console);
    EXPECT_FALSE(options.unknownSwitch);
    EXPECT_EQ(options.hostName, "/C");
    EXPECT_EQ(options.ipAddr, "-x");
    EXPECT_EQ(options.macAddr, "bb");
    EXPECT_FALSE(options.netMask.has_value());
}

TEST(ParseCommandLineTest, UnknownOrBareSwitchStopsParsing)
{
    for (const Args& args : {Args{"/C", "/X", "/V"}, Args{"/", "/C"}, Args{"-"}}) {
        const auto options = ParseCommandLine(args);
        EXPECT_TRUE(options.unknownSwitch);
        EXPECT_FALSE(options.version);
    }
}

class WakeUpTargetTest : public testing::Test {
protected:
    WakeUpTargetTest()
    {
        hosts_.Append(MakeHostInfo("PC1", "", "192.0.2.10", "255.255.255.0", "00:11:22:33:44:55"));
        hosts_.Append(MakeHostInfo("pc2", "", "192.0.2.20", "", "66:77:88:99:AA:BB"));
        hosts_.Append(MakeHostInfo("pc3", "", "192.0.2.10", "255.255.0.0", "CC:CC:CC:CC:CC:CC"));
    }

    std::optional<WakeUpTarget> Target(const Args& args)
    {
        return AssembleWakeUpTarget(ParseCommandLine(args), hosts_, local_);
    }

    HostList hosts_;
    int lookups_ = 0;
    LocalNetworkQueries local_{
        [this] {
            ++lookups_;
            return 0xC6336401u;
        }, // 198.51.100.1
        [this](std::uint32_t address) {
            ++lookups_;
            return address == 0xC6336401u ? 0xFFFFFF00u : 0xFF000000u;
        },
    };
};

TEST_F(WakeUpTargetTest, GivenValuesOverrideTheRow)
{
    const auto target = Target({"/C", "/H", "pc1", "/M", "00-11-22-33-44-56", "/N", "255.0.0.0"});
    ASSERT_TRUE(target);
    EXPECT_EQ(target->ipAddr, "192.0.2.10");
    EXPECT_EQ(target->macAddr, "00-11-22-33-44-56");
    EXPECT_EQ(target->netMask, "255.0.0.0");
}

TEST_F(WakeUpTargetTest, IpAddressFillsWhatIsMissingFromItsFirstRow)
{
    // pc2 has no netmask, so the row of 192.0.2.10 replaces netmask and MAC.
    auto target = Target({"/C", "/H", "PC2", "/I", "192.0.2.10"});
    ASSERT_TRUE(target);
    EXPECT_EQ(target->netMask, "255.255.255.0");
    EXPECT_EQ(target->macAddr, "00:11:22:33:44:55");
    // Everything given: the row is not consulted.
    target = Target({"/C", "/I", "192.0.2.10", "/M", "001122334455", "/N", "255.255.0.0"});
    ASSERT_TRUE(target);
    EXPECT_EQ(target->netMask, "255.255.0.0");
    EXPECT_EQ(lookups_, 0);
}

TEST_F(WakeUpTargetTest, MissingAddressesComeFromThisComputer)
{
    const auto target = Target({"/C", "/M", "001122334455"});
    ASSERT_TRUE(target);
    EXPECT_EQ(target->ipAddr, "198.51.100.1");
    EXPECT_EQ(target->netMask, "255.255.255.0");
    const auto unknown = Target({"/C", "/I", "203.0.113.9", "/M", "001122334455"});
    ASSERT_TRUE(unknown);
    EXPECT_EQ(unknown->netMask, "255.0.0.0");
}

TEST_F(WakeUpTargetTest, NoMacOrNoAddressWithoutBroadcastIsRefused)
{
    EXPECT_FALSE(Target({"/C", "/I", "203.0.113.9"}));
    EXPECT_FALSE(Target({"/C", "/H", "nobody"}));
    EXPECT_FALSE(Target({"/C", "/M", "001122334455", "/B"}));
    EXPECT_EQ(lookups_, 0);
}

TEST_F(WakeUpTargetTest, ValuesAreCutToTheirBuffers)
{
    const auto target = Target({"/C", "/I", "198.51.100.123456", "/M", "00:11:22:33:44:55:66:77",
        "/N", "255.255.255.255.0"});
    ASSERT_TRUE(target);
    EXPECT_EQ(target->ipAddr, "198.51.100.1234");
    EXPECT_EQ(target->macAddr, "00:11:22:33:44:55");
    EXPECT_EQ(target->netMask, "255.255.255.255");
}

} // namespace
} // namespace pondel
