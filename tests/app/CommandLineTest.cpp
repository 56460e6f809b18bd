#include "CommandLine.h"
#include "ConsoleMode.h"
#include "WakeSwitches.h"
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

TEST(ParseCommandLineTest, ListenTakesTheNextArgumentUnlessItIsASwitch)
{
    const struct {
        Args args;
        std::optional<std::string> seconds;
        std::optional<std::string> hostName;
    } cases[] = {
        {{"/C", "/L"}, std::nullopt, std::nullopt},
        {{"/C", "/L", "30"}, "30", std::nullopt},
        {{"/C", "-l", "x"}, "x", std::nullopt},
        {{"/C", "/L", "/H", "pc1"}, std::nullopt, "pc1"},
        {{"/C", "/L", "-5"}, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto options = ParseCommandLine(c.args);
        EXPECT_TRUE(options.listen) << c.args.back();
        EXPECT_EQ(options.listenSeconds, c.seconds) << c.args.back();
        EXPECT_EQ(options.hostName, c.hostName) << c.args.back();
    }
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
    tHostInfo pc1 = MakeHostInfo("PC1", "", "192.0.2.10", "255.255.255.0", "00:11:22:33:44:55");
    SetField(pc1.interfaceName, "eth1");
    SetField(pc1.secureOn, "01:02:03:04:05:06");
    hosts.Append(pc1);
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
    // Only the /H row's interface and SecureOn password are taken.
    const struct {
        Args args;
        std::string_view target; // IP address, netmask, MAC [interface SecureOn]
        bool asksThisComputer;
    } cases[] = {
        {{"/C", "/H", "pc1", "/M", "00-11-22-33-44-56", "/N", "255.0.0.0"},
            "192.0.2.10 255.0.0.0 00-11-22-33-44-56 eth1 01:02:03:04:05:06", false},
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
        std::string text = "refused";
        if (target) {
            text = target->ipAddr + " " + target->netMask + " " + target->macAddr;
            if (!target->interfaceName.empty() || !target->secureOn.empty())
                text += " " + target->interfaceName + " " + target->secureOn;
        }
        EXPECT_EQ(text, c.target);
        EXPECT_EQ(lookups > 0, c.asksThisComputer) << c.target;
    }
}

// The wake-up's switches as read, or "usage" for a bad value: a missing one,
// a port out of 1 to 65535, more than 16 ports, repeats out of 1 to 10, a
// text no interface can be named, a password not of six byte pairs.
TEST(WakeSwitchesTest, ValuesAreReadOrRefused)
{
    const struct {
        Args args;
        std::string_view read;
    } cases[] = {
        {{"/C", "/M", "m"}, "none"},
        {{"/C", "/a", "-d", "/e", "eth0", "/p", "9,7,9", "/r", "10", "/s", "010203040506"},
            "A D E=eth0 P=9,7 R=10 S=010203040506"},
        {{"/C", "/P", "65535", "/R", "1"}, "P=65535"},
        {{"/C", "/E", "abcdefghijklmno"}, "E=abcdefghijklmno"},
        {{"/C", "/P", "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16"},
            "P=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16"},
        {{"/C", "/P", "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17"}, "usage"},
        {{"/C", "/P", "0"}, "usage"},
        {{"/C", "/P", "65536"}, "usage"},
        {{"/C", "/P", "7,"}, "usage"},
        {{"/C", "/P", " 7"}, "usage"},
        {{"/C", "/P", "+7"}, "usage"},
        {{"/C", "/P"}, "usage"},
        {{"/C", "/R", "0"}, "usage"},
        {{"/C", "/R", "11"}, "usage"},
        {{"/C", "/R", "2x"}, "usage"},
        {{"/C", "/E", "a/b"}, "usage"},
        {{"/C", "/E", "abcdefghijklmnop"}, "usage"},
        {{"/C", "/E", ".."}, "usage"},
        {{"/C", "/E", "a b"}, "usage"},
        {{"/C", "/E"}, "usage"},
        {{"/C", "/S", "01:02:03:04:05"}, "usage"},
        {{"/C", "/S", ""}, "usage"},
    };
    for (const auto& c : cases) {
        const auto switches = ReadWakeSwitches(ParseCommandLine(c.args));
        std::string read = "usage";
        if (switches) {
            read.clear();
            const auto add = [&read](const std::string& part) {
                read += (read.empty() ? "" : " ") + part;
            };
            if (switches->allPaths)
                add("A");
            if (switches->dryRun)
                add("D");
            if (!switches->interfaceName.empty())
                add("E=" + switches->interfaceName);
            if (switches->ports) {
                std::string ports;
                for (const auto port : *switches->ports)
                    ports += (ports.empty() ? "" : ",") + std::to_string(port);
                add("P=" + ports);
            }
            if (switches->repeats != 1)
                add("R=" + std::to_string(switches->repeats));
            if (!switches->secureOn.empty())
                add("S=" + switches->secureOn);
            if (!switches->given)
                read = "none";
        }
        EXPECT_EQ(read, c.read) << ::testing::PrintToString(c.args);
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
