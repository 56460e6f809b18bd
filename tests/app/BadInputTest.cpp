// Bad input at every door the program has, one row each, with what the user
// gets for it: a message, a text left out, or a value kept as the default.
// Nothing typed, imported or pasted is lost, and nothing reaches a shell.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "AppSettings.h"
#include "ClipboardRows.h"
#include "ConsoleProgram.h"
#include "CsvHostFile.h"
#include "HostTexts.h"
#include "Icmp.h"
#include "IniDocument.h"
#include "Settings.h"
#include "ShutdownCommands.h"

namespace pondel {
namespace {

using namespace std::string_literals;
using Arguments = std::vector<std::string>;

constexpr const char* kUsage = "usage";
constexpr const char* kIgnored = "ignored";

std::string Joined(const tHostInfo& host)
{
    const HostTexts texts = TextsOf(host);
    return texts.hostName + "|" + texts.comment + "|" + texts.ipAddr + "|" + texts.netMask + "|" +
        texts.macAddr;
}

// The console command: the usage text, or a failure with its code and one
// line on standard error that begins as given.
TEST(BadInputTest, CommandLine)
{
    const test::ConsoleProgram program;
    WriteTextFile(program.SettingsFile(), "[HOST_0]\nHOST_NAME=pc1\nIP_ADDR=198.51.100.20\n");
    const std::string planted = (program.SettingsFile().parent_path() / "planted").string();
    const std::string illegal = "It is illegal MAC address: \"";
    const struct {
        Arguments arguments;
        int exitCode;
        std::string_view output;
        std::string error;
    } cases[] = {
        {{"/X"}, 3, kUsage, ""},
        {{"/"}, 3, kUsage, ""},
        {{"-"}, 3, kUsage, ""},
        {{"/C"}, 3, kUsage, ""},
        {{"/C", "/H"}, 3, kUsage, ""},                  // a switch without its value
        {{"/C", "/N", "255.255.255.0"}, 3, kUsage, ""}, // no target
        {{"/C", "/V", "/?"}, 3, kUsage, ""},            // parsing stops at the unknown one
        {{"/C", "/M", "001122334455", "/R", "11"}, 3, kUsage, ""}, // a wake switch's bad value
        {{"/C", "/M", "001122334455", "/P"}, 3, kUsage, ""},
        // A wait needs the host's address and from 1 to 3600 seconds; nothing is sent.
        {{"/C", "/M", "001122334455", "/W", "5"}, 3, kUsage, ""},
        {{"/C", "/I", "198.51.100.20", "/M", "001122334455", "/W"}, 3, kUsage, ""},
        {{"/C", "/I", "198.51.100.20", "/M", "001122334455", "/W", "0"}, 3, kUsage, ""},
        {{"/C", "/I", "198.51.100.20", "/M", "001122334455", "/W", "3601"}, 3, kUsage, ""},
        {{"/C", "/I", "198.51.100.20", "/M", "001122334455", "/W", "-5"}, 3, kUsage, ""},
        // Listening takes from 0 to 86400 seconds; nothing is opened.
        {{"/C", "/L", "86401"}, 3, kUsage, ""},
        {{"/C", "/L", "1.5"}, 3, kUsage, ""},
        {{"/C", "/W", "5", "/H", "pc1"}, -1, "", "Host \"pc1\" has no MAC address."},
        {{"/C", "/H", "pc1"}, -1, "", "Host \"pc1\" has no MAC address."},
        {{"/C", "/H", "-rf"}, -1, "", "Host \"-rf\" is not in the host list."},
        {{"/C", "/H", "pc1\n/M"}, -1, "", "Host \"pc1?/M\" is not in the host list."},
        {{"/C", "/M", "zz:zz:zz:zz:zz:zz"}, -1, "", illegal + "zz:zz:zz:zz:zz:zz\""},
        {{"/C", "/M", "00:11:22:33:44"}, -1, "", illegal + "00:11:22:33:44\""},
        {{"/C", "/M", "", "/I", "198.51.100.20"}, -1, "", "Host \"pc1\" has no MAC address."},
        {{"/C", "/M", "", "/I", "198.51.100.21"}, -1, "", "No MAC address: give one with /M."},
        {{"/C", "/M", "001122334455", "/B"}, -1, "",
            "No IP address to send to: give one with /I, or leave out /B."},
        {{"/C", "/M", "; touch " + planted}, -1, "", illegal},
        {{"/C", "/M", "$(touch " + planted + ")"}, -1, "", illegal},
        {{"/C", "/M", "`touch " + planted + "`"}, -1, "", illegal},
        {{"/C", "/M", "00:11:22:33:44:\xff\xfe"}, -1, "", illegal},
    };
    for (const auto& c : cases) {
        const test::RunResult result = program.Run(c.arguments);
        const std::string output =
            result.output.starts_with("\nUsage:\n") ? "usage" : result.output;
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments.back();
        EXPECT_EQ(output, c.output) << c.arguments.back();
        EXPECT_TRUE(result.errorOutput.starts_with(c.error)) << result.errorOutput;
        EXPECT_EQ(std::ranges::count(result.errorOutput, '\n'), c.error.empty() ? 0 : 1)
            << result.errorOutput;
    }
    EXPECT_FALSE(std::filesystem::exists(planted));
}

// An import takes the lines that qualify, texts as they are but the MAC
// address in its canonical form, and counts the others as malformed.
TEST(BadInputTest, CsvLines)
{
    const std::string longMac(40, 'm');
    const std::string paddedMac = "00-11-22-33-44-55" + std::string(23, ' ');
    const struct {
        std::string line;
        std::string taken;
    } cases[] = {
        {"", kIgnored}, {std::string(kCsvHeaderLine), kIgnored},
        {"1,a,b,,255.255.255.0,\"\"", kIgnored},          // no IP address
        {"1,a,b,\"  \t \",255.255.255.0,\"\"", kIgnored}, // blanks only
        {"x,a,b,192.0.2.1,255.255.255.0,\"\"", kIgnored}, // row number not a number
        {"-1,a,b,192.0.2.1,255.255.255.0,\"\"", kIgnored},
        {"1,a,b,192.0.2.1", kIgnored}, // too few fields
        {"1,a,b,192.0.2.1,255.255.255.0", kIgnored},
        {"1\0,a,b,192.0.2.1,255.255.255.0,m"s, kIgnored}, // a NUL ends the line
        {"1,\"a,b\",c,\"; rm -rf ~\",$(x),0011.2233.4455",
            "a,b|c|; rm -rf ~|$(x)|00:11:22:33:44:55"},
        {"1,a,b,-c 5,--help,\"\"", "a|b|-c 5|--help|"},
        {"1,a,b,192.0.2.1,m,`y`", kIgnored}, // not a MAC address
        {"1,a,b,192.0.2.1,m,-f", kIgnored},
        {"1,a,b,192.0.2.1,,02:00:00:00:00", kIgnored}, // five pairs
        {"1,a,b,192.0.2.1,,zz:zz:zz:zz:zz:zz", kIgnored},
        {"1,a,b,192.0.2.1,,02-00-5e-10-00-01", "a|b|192.0.2.1||02:00:5E:10:00:01"},
        {"1,a,b,192.0.2.1,m,\"02005e100001", "a|b|192.0.2.1|m|02:00:5E:10:00:01"}, // unterminated
        {"1,a,b,192.0.2.1,m," + longMac, kIgnored},
        {"1,a,b,192.0.2.1,m," + paddedMac, "a|b|192.0.2.1|m|00:11:22:33:44:55"}, // cut to 31
        {",\xff\xfe,\x01,192.0.2.1,,\"\"", "\xff\xfe|\x01|192.0.2.1||"},
        {",a,b,192.0.2.1,,", kIgnored}, // a last comma starts no field
    };
    for (const auto& c : cases) {
        HostList hosts;
        const CsvImportResult result = ImportCsvHostList(c.line + "\r\n", hosts, 100);
        const std::string taken = result.added == 1 ? Joined(hosts[0]) : std::string(kIgnored);
        EXPECT_EQ(taken, c.taken) << c.line;
        const bool noHostMeant = c.line.empty() || c.line == kCsvHeaderLine;
        EXPECT_EQ(result.malformed, taken == kIgnored && !noHostMeant ? 1 : 0) << c.line;
    }
}

// A paste takes the lines before the first faulty one and says the rest had
// another format.
TEST(BadInputTest, ClipboardText)
{
    constexpr std::string_view kFormat = "Different format of the data to be pasted is.";
    const struct {
        std::string text;
        int pasted;
        std::string_view message;
    } cases[] = {
        {"", 0, ""}, {"just words", 0, kFormat}, {"a,b,c", 0, kFormat},
        {",,,,", 0, kFormat},                    // no address to keep
        {"a,b, \t ,255.255.255.0,", 0, kFormat}, // blanks only
        {"a,b,\"\",255.255.255.0,", 0, kFormat},
        {"a,b,192.0.2.1,255.255.255.0,zz", 0, kFormat}, // not a MAC
        {"a,b,192.0.2.1,,02:00:00:00:00", 0, kFormat},
        {"a,b,192.0.2.1,,zz:zz:zz:zz:zz:zz", 0, kFormat},
        {"a\tb\t192.0.2.1\t\tzz", 0, kFormat},         // tab-separated, no MAC
        {"a,b,; rm -rf ~,255.255.255.0,", 0, kFormat}, // not an address
        {"a,b,-c 5,255.255.255.0,", 0, kFormat}, {"a,b,255.255.255.255,255.255.255.0,", 0, kFormat},
        {"a,b,192.0.2.1,255.255.255.0,\nx,y", 1, kFormat},              // an empty MAC is fine
        {"a,b,192.0.2.1,,00:11:22:33:44:55\n$(x),,192.0.2.2,,", 2, ""}, // texts kept as text
        {"a,b,192.0.2.1,,00:11:22:33:44:55\n`y`,,,,\nz,,192.0.2.3,,", 1, kFormat},
        {"0,\"a\",\"b\",\"192.0.2.1\",\"\",\"zz\"", 0, kFormat}, // an export line, no MAC
        {std::string(128, 'n') + ",,192.0.2.1,,", 0, kFormat},   // longer than a name holds
        {"a,b,192.0.2.1,,\0,,,,"s, 1, ""},                       // a NUL ends the text
    };
    for (const auto& c : cases) {
        const ClipboardPaste paste = ParseClipboardRows(c.text);
        EXPECT_EQ(static_cast<int>(paste.hosts.size()), c.pasted) << c.text;
        EXPECT_EQ(paste.formatError ? kFormat : "", c.message) << c.text;
    }
}

// A value the program cannot use is replaced by its default; texts are kept
// as they are. Read back from a save of what was loaded.
TEST(BadInputTest, SettingsValues)
{
    const struct {
        std::string_view section;
        std::string_view key;
        std::string value;
        std::string saved;
    } cases[] = {
        {"SETTING", "PORT_NO", "seven", "0"},
        {"SETTING", "PORT_NO", "-1", "4294967295"},
        {"SETTING", "ICMP_TIME_OUT", "", "30"},
        {"SETTING", "PORT_NO", "0", "0"}, // the low 16 bits: no range of its own
        {"SETTING", "ICMP_TIME_OUT", "99999999999999999999", "30"},
        {"SETTING", "ICMP_TIME_OUT", "-5", "30"},
        {"SETTING", "ICMP_TIME_OUT", "10001", "30"},
        {"SETTING", "ICMP_TIME_OUT", "10000", "10000"},
        {"SETTING", "MAX_HOST_NUM", "0x10", "100"},
        {"SETTING", "MAX_HOST_NUM", "65536", "100"},
        {"SETTING", "MAX_HOST_NUM", "65535", "65535"},
        {"SETTING", "TIMER_INTERVAL", "10 minutes", "10"},
        {"SETTING", "TIMER_INTERVAL", "9", "60"},
        {"SETTING", "TIMER_INTERVAL", "-1", "60"},
        {"SETTING", "ACTIVE_MARK_TEXT", "\"; rm -rf ~\"", "; rm -rf ~"},
        {"SETTING", "SHUTDOWN_COMMAND", "sh -c \"reboot; %s\"", "sh -c \"reboot; %s\""},
        {"SETTING", "COLLECT_HOST_ADDR_START", "$(reboot)", "$(reboot)"},
        {"HOST_0", "IP_ADDR", "-c 5", "-c 5"},
        {"HOST_0", "MAC_ADDR", "`reboot`", "`reboot`"},
        {"HOST_0", "HOST_NAME", std::string(300, 'n'), std::string(127, 'n')},
    };
    for (const auto& c : cases) {
        // A host, its texts but the one of the row as they would be.
        std::string text = "[" + std::string(c.section) + "]\n" + std::string(c.key) + "=" +
            c.value + "\n" + (c.section == "HOST_0" ? "" : "[HOST_0]\n");
        for (const std::string_view key : {"HOST_NAME", "IP_ADDR"})
            if (key != c.key)
                text += std::string(key) + "=" + (key == "IP_ADDR" ? "192.0.2.1" : "h") + "\n";
        const IniDocument loadedFile = IniDocument::Parse(text);
        AppSettings settings;
        SetDefaultSettings(settings);
        LoadSettings(loadedFile, settings);
        HostList hosts;
        LoadHostList(loadedFile, settings.maxHostNum == 0 ? 100 : settings.maxHostNum, hosts);
        IniDocument saved;
        SaveSettings(saved, settings, hosts, WindowState{});
        EXPECT_EQ(saved.Find(c.section, c.key).value_or("<missing>"), c.saved)
            << c.key << "=" << c.value;
    }
}

// Host texts handed to ping and to the shutdown command: a stand-in for each
// logs its arguments, and nothing else runs. A text that would read as an
// option is never handed on.
class HostTextArgumentsTest : public testing::Test {
protected:
    void SetUp() override
    {
        WriteTextFile(folder_ / "ping",
            "#!/bin/sh\n{ echo \"$(basename \"$0\")\"; for a in \"$@\"; do printf '[%s]' \"$a\"; "
            "done;"
            " echo; } >> \"$(dirname \"$0\")/log\"\nexit 1\n");
        std::filesystem::permissions(folder_ / "ping", std::filesystem::perms::owner_all);
        std::filesystem::copy_file(folder_ / "ping", folder_ / "shutdown-tool");
        const char* path = std::getenv("PATH");
        savedPath_ = path != nullptr ? path : "";
        setenv("PATH", (folder_.Path().string() + ":" + savedPath_).c_str(), 1);
    }
    void TearDown() override { setenv("PATH", savedPath_.c_str(), 1); }

    std::string TakeLog()
    {
        std::string log = ReadTextFile(folder_ / "log");
        std::filesystem::remove(folder_ / "log");
        return log;
    }

    TemporaryDirectory folder_;
    std::string savedPath_;
};

TEST_F(HostTextArgumentsTest, EachRunsTheIntendedProgramWithTheTextAsOneArgument)
{
    const std::string planted = (folder_ / "planted").string();
    const struct {
        std::string host;
        bool run;
    } cases[] = {
        {"198.51.100.7; touch " + planted, true},
        {"$(touch " + planted + ")", true},
        {"`touch " + planted + "`", true},
        {"198.51.100.7\ntouch " + planted, true},
        {"198.51.100.7 && touch " + planted, true},
        {"| touch " + planted, true},
        {"198.51.100.7 -f", true},
        {" -f", true}, // an option begins at the first character only
        {"'\"\\", true},
        {"-f", false},
        {"-c 5", false},
        {"--help", false},
        {"-I" + planted, false},
        {"-", false},
    };
    const std::string shutdownTemplate = "shutdown-tool -I %s -f";
    for (const auto& c : cases) {
        EXPECT_EQ(PingCommand(c.host, 300), -1) << c.host;
        const ShutdownOutcome outcome =
            ShutdownHost({0, c.host}, shutdownTemplate, DetachedCommandRunner());
        EXPECT_EQ(outcome, ShutdownOutcome::kFailed) << c.host;
        const std::string expected = c.run ? "ping\n[-4][-c][1][-n][-W][0.300][--][" + c.host +
                "]\nshutdown-tool\n[-I][" + c.host + "][-f]\n"
                                           : "";
        EXPECT_EQ(TakeLog(), expected) << c.host;
    }
    EXPECT_FALSE(std::filesystem::exists(planted));
}

} // namespace
} // namespace pondel
