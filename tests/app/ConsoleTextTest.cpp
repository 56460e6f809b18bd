// The console texts end to end: the real executable prints its usage and
// version on a pipe, on the terminal, or nowhere. Nothing here needs a
// network.
#include <cstdlib>

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "ConsoleProgram.h"

namespace pondel {
namespace {

class ConsoleTextTest : public testing::Test {
protected:
    test::ConsoleProgram program_;
};

// Which arguments get the usage is BadInputTest.CommandLine's table.
TEST_F(ConsoleTextTest, UsageText)
{
    const test::RunResult result = program_.Run({"/C", "/M", "001122334455", "-z"});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_TRUE(result.output.starts_with("\nUsage:\n---------+")) << result.output;
    EXPECT_NE(result.output.find("\n       /V        : Disp Program Version in console\n"),
        std::string::npos);
    EXPECT_TRUE(result.output.ends_with("it will start as a GUI application\n"));
}

TEST_F(ConsoleTextTest, VersionOnAPipe)
{
    for (const std::vector<std::string>& arguments :
        {std::vector<std::string>{"/V"}, {"/C", "/V"}}) {
        const test::RunResult result = program_.Run(arguments);
        EXPECT_EQ(result.exitCode, 3);
        EXPECT_EQ(result.output, "\nVexmoor Ver.3.02\n");
    }
}

TEST_F(ConsoleTextTest, AFailedWriteIsNotReportedAsPrinted)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/full", O_WRONLY, 0);
    EXPECT_EQ(test::WaitExitCode(program_.Spawn({"/V"}, &actions, nullptr)), -2);
    EXPECT_EQ(test::WaitExitCode(program_.Spawn({"/X"}, &actions, nullptr)), -2);
    posix_spawn_file_actions_destroy(&actions);
}

TEST_F(ConsoleTextTest, WithoutStandardOutputTheTerminalIsOpened)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const std::string terminal = ptsname(master);

    // A new session whose first terminal becomes its controlling terminal,
    // and no standard output at all.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, terminal.c_str(), O_RDWR, 0);
    posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO);
    const pid_t pid = program_.Spawn({"/V"}, &actions, &attributes);
    EXPECT_EQ(test::WaitExitCode(pid), 2);
    EXPECT_EQ(test::ReadAll(master), "\r\nVexmoor Ver.3.02\r\n"); // the terminal maps LF to CR LF
    close(master);

    // Without a terminal nothing can be printed.
    posix_spawn_file_actions_destroy(&actions);
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO);
    EXPECT_EQ(test::WaitExitCode(program_.Spawn({"/V"}, &actions, &attributes)), -2);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
}

} // namespace
} // namespace pondel
