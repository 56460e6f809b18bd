#include "ShutdownCommands.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "FakeWindowSide.h"
#include "RunCommand.h"
#include "AppSettings.h"
#include "TemporaryDirectory.h"

namespace pondel {
namespace {

using Arguments = std::vector<std::string>;

TEST(ShutdownCommandTest, TheTemplateSplitsAtBlanksAndTheAddressStaysInItsArgument)
{
    EXPECT_EQ(BuildShutdownCommand(AppSettings{}.shutdownCommand, "198.51.100.9"),
        (Arguments{"net", "rpc", "shutdown", "-I", "198.51.100.9", "-f", "-t", "0"}));
    EXPECT_EQ(BuildShutdownCommand("  tool\t\"a b\" x\"y z\"w \"\" --host=%s:445%s ", "h"),
        (Arguments{"tool", "a b", "xy zw", "", "--host=h:445h"}));
    EXPECT_EQ(BuildShutdownCommand("tool -I %s", "1.2.3.4 ; rm x"),
        (Arguments{"tool", "-I", "1.2.3.4 ; rm x"}));
    // An address holding the mark is not expanded again.
    EXPECT_EQ(BuildShutdownCommand("tool %s", "%s"), (Arguments{"tool", "%s"}));
    EXPECT_TRUE(SplitCommandTemplate("").empty());
    EXPECT_TRUE(SplitCommandTemplate(" \t ").empty());
    EXPECT_EQ(SplitCommandTemplate("tool \"open quote"), (Arguments{"tool", "open quote"}));
}

TEST(ShutdownCommandTest, TheQuestionComesFirstThenEachSelectedRowInListOrder)
{
    HostList hosts;
    hosts.Append(MakeHostInfo("A", "a", "198.51.100.1", "255.255.255.0", "02:00:00:00:00:01"));
    hosts.Append(MakeHostInfo("B", "b", "", "", ""));
    hosts.Append(MakeHostInfo("C", "c", "198.51.100.3", "255.255.0.0", "02:00:00:00:00:03"));
    HostTexts current;
    test::FakeWindowSide window;

    window.answer = false;
    EXPECT_TRUE(ShutdownSelectedHosts({2, 1}, hosts, current, window).empty());
    EXPECT_EQ(window.calls, Arguments{"ask 131"});
    EXPECT_TRUE(current.hostName.empty());

    window.answer = true;
    const auto jobs = ShutdownSelectedHosts({2, 1, 7}, hosts, current, window);
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].row, 1);
    EXPECT_EQ(jobs[1].ipAddr, "198.51.100.3");
    EXPECT_EQ(current.comment, "c");
    EXPECT_EQ(current.netMask, "255.255.0.0");

    // Each row is tried, whatever happened to the ones before.
    std::vector<Arguments> runs;
    window.calls.clear();
    RunShutdownJobs(
        jobs, "tool %s",
        [&](const ShutdownResult& result) { ReportShutdownResult(result, window); },
        [&](const Arguments& argv) {
            runs.push_back(argv);
            return 0;
        });
    EXPECT_EQ(runs, std::vector<Arguments>{(Arguments{"tool", "198.51.100.3"})});
    EXPECT_EQ(window.calls, Arguments{"message 133"});

    // Nothing selected still asks; an empty list asks nothing.
    window.calls.clear();
    EXPECT_TRUE(ShutdownSelectedHosts({}, hosts, current, window).empty());
    EXPECT_TRUE(ShutdownSelectedHosts({0}, HostList{}, current, window).empty());
    EXPECT_EQ(window.calls, Arguments{"ask 131"});
}

// A program that writes its arguments one per line, whether its input is a
// terminal and whether it has a controlling terminal, then fails.
class RecorderTest : public testing::Test {
protected:
    void SetUp() override
    {
        WriteTextFile(folder_ / "recorder",
            "#!/bin/sh\n"
            "dir=$(dirname \"$0\")\n"
            "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > \"$dir/args\"\n"
            "if [ -t 0 ]; then echo tty; else echo notty; fi >> \"$dir/terminal\"\n"
            "if (: < /dev/tty) 2>/dev/null; then echo ctty; else echo noctty; fi"
            " >> \"$dir/terminal\"\n"
            "exit 3\n");
        std::filesystem::permissions(folder_ / "recorder", std::filesystem::perms::owner_all);
    }

    std::string Template(std::string_view rest) const
    {
        const std::string recorder = (folder_ / "recorder").string();
        return "\"" + recorder + "\" " + std::string(rest);
    }

    TemporaryDirectory folder_;
};

TEST_F(RecorderTest, AFailingCommandIsReportedAndGetsTheAddressAsOneArgumentWithoutAShell)
{
    test::FakeWindowSide window;
    const auto run = [&](std::string_view commandTemplate, std::string address) {
        const ShutdownOutcome outcome =
            ShutdownHost({0, std::move(address)}, commandTemplate, DetachedCommandRunner());
        ReportShutdownResult({0, outcome}, window);
        return outcome;
    };
    EXPECT_EQ(run(Template("-I %s \"two words\""), "198.51.100.9"), ShutdownOutcome::kFailed);
    EXPECT_EQ(window.calls, Arguments{"message 132"});
    EXPECT_EQ(ReadTextFile(folder_ / "args"), "[-I]\n[198.51.100.9]\n[two words]\n");

    const auto planted = folder_ / "planted";
    const std::string hostile = ";touch " + planted.string();
    EXPECT_EQ(
        run(Template("%s $(touch " + planted.string() + ")"), hostile), ShutdownOutcome::kFailed);
    EXPECT_EQ(ReadTextFile(folder_ / "args"),
        "[" + hostile + "]\n[$(touch]\n[" + planted.string() + ")]\n");
    EXPECT_FALSE(std::filesystem::exists(planted));

    // Nothing is run for an address that would read as an option, an empty
    // template or a program that is not there; each fails.
    std::filesystem::remove(folder_ / "args");
    EXPECT_EQ(run(Template("%s"), "-rf"), ShutdownOutcome::kFailed);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "args"));
    EXPECT_EQ(run("", "198.51.100.9"), ShutdownOutcome::kFailed);
    EXPECT_EQ(run((folder_ / "absent").string() + " %s", "198.51.100.9"), ShutdownOutcome::kFailed);
    EXPECT_EQ(window.calls.size(), 5u);
}

TEST_F(RecorderTest, TheCommandHasNoTerminalEvenWhenTheProgramHasOne)
{
    // A child process of the test takes a terminal of its own, then runs the
    // recorder the plain way and the shutdown way.
    const Arguments argv{(folder_ / "recorder").string()};
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int master = posix_openpt(O_RDWR | O_NOCTTY);
        if (setsid() < 0 || master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            _exit(10);
        const int terminal = open(ptsname(master), O_RDWR);
        if (terminal < 0 || open("/dev/tty", O_RDWR) < 0)
            _exit(11);
        dup2(terminal, STDIN_FILENO);
        const int plain = RunCommand(argv);
        const int detached = DetachedCommandRunner()(argv);
        _exit(plain == 3 && detached == 3 ? 0 : 12);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadTextFile(folder_ / "terminal"), "notty\nctty\nnotty\nnoctty\n");
}

} // namespace
} // namespace pondel
