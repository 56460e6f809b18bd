#include "CommandLine.h"
#include "ConsoleMode.h"
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

// The executable loads the window module only for these; everything else is
// answered on the console without it.
TEST(ParseCommandLineTest, OnlyACommandLineWithoutConsoleSwitchesOpensTheWindow)
{
    const struct {
        Args args;
        bool opensWindow;
    } cases[] = {
        {{}, true},
        {{"plain", "words"}, true},
        {{"/H", "pc1", "/M", "001122334455"}, true},
        {{"/H", "/C"}, true},
        {{"/C"}, false},
        {{"-v"}, false},
        {{"/X"}, false},
        {{"-"}, false},
        {{"/H", "pc1", "/c"}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OpensWindow(c.args), c.opensWindow) << ::testing::PrintToString(c.args);
}

// Given values override the list's row; what is missing comes from the
// first row of the address, then from this computer (198.51.100.1/24, any
// other address /8); "refused" when there is no MAC, or no address and no
// broadcast. Values are cut to their buffers.
TEST(WakeUpTargetTest, GivenValuesThenTheRowThenThisComputer)
{
    HostList hosts;
    hosts.Append(MakeHostInfo("PC1", "", "192.0.2.10", "255.255.255.0", "00:11:22:33:44:55"));
    hosts.Append(MakeHostInfo("pc2", "", "192.0.2.20", "", "66:77:88:99:AA:BB"));
    hosts.Append(MakeHostInfo("pc3", "", "192.0.2.10", "255.255.0.0", "CC:CC:CC:CC:CC:CC"));
    int lookups = 0;
    const LocalNetworkQueries local{[&lookups] {
                                        ++lookups;
                                        return 0xC6336401u;
                                    },
        [&lookups](std::uint32_t address) {
            ++lookups;
            return address == 0xC6336401u ? 0xFFFFFF00u : 0xFF000000u;
        }};
    const struct {
        Args args;
        std::string_view target; // IP address, netmask, MAC
        bool asksThisComputer;
    } cases[] = {
        {{"/C", "/H", "pc1", "/M", "00-11-22-33-44-56", "/N", "255.0.0.0"},
            "192.0.2.10 255.0.0.0 00-11-22-33-44-56", false},
        // pc2 has no netmask, so the row of 192.0.2.10 gives netmask and MAC.
        {{"/C", "/H", "PC2", "/I", "192.0.2.10"}, "192.0.2.10 255.255.255.0 00:11:22:33:44:55",
            false},
        {{"/C", "/I", "192.0.2.10", "/M", "001122334455", "/N", "255.255.0.0"},
            "192.0.2.10 255.255.0.0 001122334455", false},
        {{"/C", "/M", "001122334455"}, "198.51.100.1 255.255.255.0 001122334455", true},
        {{"/C", "/I", "203.0.113.9", "/M", "001122334455"}, "203.0.113.9 255.0.0.0 001122334455",
            true},
        {{"/C", "/I", "203.0.113.9"}, "refused", false},
        {{"/C", "/H", "nobody"}, "refused", false},
        {{"/C", "/M", "001122334455", "/B"}, "refused", false},
        {{"/C", "/I", "198.51.100.123456", "/M", "00:11:22:33:44:55:66:77", "/N",
             "255.255.255.255.0"},
            "198.51.100.1234 255.255.255.255 00:11:22:33:44:55", false},
    };
    for (const auto& c : cases) {
        lookups = 0;
        const auto target = AssembleWakeUpTarget(ParseCommandLine(c.args), hosts, local);
        EXPECT_EQ(
            target ? target->ipAddr + " " + target->netMask + " " + target->macAddr : "refused",
            c.target);
        EXPECT_EQ(lookups > 0, c.asksThisComputer) << c.target;
    }
}

// The console command loads only the rows TargetRowFilter accepts; the target
// must be the one the whole list gives, whichever row it comes from.
TEST(WakeUpTargetTest, TheRowsThatMayBeTheTargetGiveTheSameTarget)
{
    HostList hosts;
    hosts.Append(MakeHostInfo("PC1", "", "192.0.2.10", "255.255.255.0", "00:11:22:33:44:55"));
    hosts.Append(MakeHostInfo("pc2", "", "192.0.2.20", "", "66:77:88:99:AA:BB"));
    hosts.Append(MakeHostInfo("pc1", "", "192.0.2.30", "255.255.0.0", "CC:CC:CC:CC:CC:CC"));
    hosts.Append(MakeHostInfo("pc4", "", "192.0.2.10", "255.0.0.0", "DD:DD:DD:DD:DD:DD"));
    const LocalNetworkQueries local{
        [] { return 0xC6336401u; }, [](std::uint32_t) { return 0xFFFFFF00u; }};
    const Args argsList[] = {{"/C", "/H", "pc1"}, {"/C", "/H", "PC2", "/I", "192.0.2.10"},
        {"/C", "/I", "192.0.2.10"}, {"/C", "/H", "pc4"}, {"/C", "/H", "nobody"},
        {"/C", "/I", "192.0.2.10xxxxxxxxxx"}, {"/C", "/M", "001122334455"}};
    const auto text = [](const std::optional<WakeUpTarget>& target) {
        return target ? target->ipAddr + " " + target->netMask + " " + target->macAddr
                      : std::string("refused");
    };
    for (const Args& args : argsList) {
        const CommandLineOptions options = ParseCommandLine(args);
        const TargetRowFilter mayBeTarget(options);
        HostList kept;
        for (const tHostInfo& host : hosts) {
            const HostFieldViews fields = FieldViews(host);
            if (mayBeTarget(fields.hostName, fields.ipAddr))
                kept.Append(host);
        }
        EXPECT_EQ(text(AssembleWakeUpTarget(options, kept, local)),
            text(AssembleWakeUpTarget(options, hosts, local)))
            << args.back();
        EXPECT_LT(kept.Count(), hosts.Count()) << args.back();
    }
}

} // namespace
} // namespace pondel
