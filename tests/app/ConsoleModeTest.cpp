// The console command end to end: the real executable, a settings file
// beside it, and a namespace network to receive what it sends.
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TestNetwork.h"

extern char** environ;

namespace pondel {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr std::uint16_t kEchoPort = 7;

struct RunResult {
    int exitCode = 0; // as the program returned it, so -1 and -2 read as such
    std::string output;
};

std::string ReadAll(int fd)
{
    std::string text;
    char buffer[4096];
    for (;;) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, 5000) <= 0)
            break;
        const ssize_t length = read(fd, buffer, sizeof buffer);
        if (length <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(length));
    }
    return text;
}

int WaitExitCode(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    return WIFEXITED(status) ? static_cast<std::int8_t>(WEXITSTATUS(status)) : -1000;
}

class ConsoleModeTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = testing::TempDir() + "pondel-console-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        directory_ = pattern;
        fs::copy_file(PONDEL_EXECUTABLE, directory_ / "pondel");
        const auto& peer = network_.AddPeer(
            {"198.51.100.1", 24, "02:00:00:00:02:01"}, {"198.51.100.20", 24, "02:00:00:00:02:02"});
        sink_ = std::make_unique<test::DatagramSink>(peer.ns, kEchoPort);
        otherPortSink_ = std::make_unique<test::DatagramSink>(peer.ns, 9);
        WriteSettings("[SETTING]\r\nPORT_NO=9\r\n"
                      "[HOST_0]\r\nHOST_NAME=PC1\r\nIP_ADDR=198.51.100.20\r\n"
                      "NET_MASK=255.255.255.0\r\nMAC_ADDR=02:00:00:00:02:02\r\n");
    }

    void TearDown() override
    {
        // The console mode reads the settings file and never writes it.
        EXPECT_EQ(ReadSettings(), settings_);
        fs::remove_all(directory_);
    }

    void WriteSettings(const std::string& text)
    {
        settings_ = text;
        std::ofstream(directory_ / "pondel.ini", std::ios::binary) << text;
    }

    std::string ReadSettings() const
    {
        std::ifstream file(directory_ / "pondel.ini", std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

    // Runs the program with standard output on a pipe.
    RunResult Run(const std::vector<std::string>& arguments)
    {
        int pipeFds[2];
        EXPECT_EQ(pipe2(pipeFds, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
        const pid_t pid = Spawn(arguments, &actions, nullptr);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeFds[1]);
        RunResult result;
        result.output = ReadAll(pipeFds[0]);
        close(pipeFds[0]);
        result.exitCode = WaitExitCode(pid);
        return result;
    }

    pid_t Spawn(const std::vector<std::string>& arguments, posix_spawn_file_actions_t* actions,
        posix_spawnattr_t* attributes)
    {
        const std::string program = (directory_ / "pondel").string();
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        pid_t pid = -1;
        EXPECT_EQ(posix_spawn(&pid, program.c_str(), actions, attributes, argv.data(), environ), 0);
        return pid;
    }

    std::vector<test::Datagram> Received() { return sink_->ReceiveAll(300ms); }

    static std::vector<std::uint8_t> Payload(std::initializer_list<std::uint8_t> mac)
    {
        std::vector<std::uint8_t> payload(6, 0xFF);
        for (int i = 0; i < 16; ++i)
            payload.insert(payload.end(), mac);
        return payload;
    }

    fs::path directory_;
    std::string settings_;
    test::TestNetwork network_;
    std::unique_ptr<test::DatagramSink> sink_;
    std::unique_ptr<test::DatagramSink> otherPortSink_;
};

TEST_F(ConsoleModeTest, HostNameWakesTheRowOnTheEchoPortWhateverThePortOption)
{
    const RunResult result = Run({"/c", "/h", "pc1"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, "");
    const auto received = Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].destinationIp, "198.51.100.255");
    EXPECT_EQ(received[0].payload, Payload({0x02, 0x00, 0x00, 0x00, 0x02, 0x02}));
    EXPECT_FALSE(otherPortSink_->Receive(100ms).has_value());
}

TEST_F(ConsoleModeTest, GivenMacReplacesTheRowsMac)
{
    EXPECT_EQ(Run({"/C", "/H", "pc1", "/M", "00-11-22-33-44-55"}).exitCode, 0);
    const auto received = Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].destinationIp, "198.51.100.255");
    EXPECT_EQ(received[0].payload, Payload({0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
}

TEST_F(ConsoleModeTest, MacAloneWakesTheLocalNetwork)
{
    EXPECT_EQ(Run({"/C", "/M", "001122334455"}).exitCode, 0);
    const auto received = Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].destinationIp, "198.51.100.255");
}

TEST_F(ConsoleModeTest, DirectSendWithoutBroadcast)
{
    EXPECT_EQ(Run({"/C", "/I", "198.51.100.20", "/M", "001122334455", "/B"}).exitCode, 0);
    const auto received = Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].destinationIp, "198.51.100.20");
}

TEST_F(ConsoleModeTest, FailuresAreSilentWithExitCodeMinusOne)
{
    for (const std::vector<std::string>& arguments :
        {std::vector<std::string>{"/C", "/M", "001122334455", "/B"}, {"/C", "/H", "nobody"},
            {"/C", "/I", "198.51.100.20", "/M", "00:11:22"}}) {
        const RunResult result = Run(arguments);
        EXPECT_EQ(result.exitCode, -1) << arguments.back();
        EXPECT_EQ(result.output, "");
    }
    EXPECT_TRUE(Received().empty());
}

TEST_F(ConsoleModeTest, UsageForNoTargetOrAnUnknownSwitch)
{
    for (const std::vector<std::string>& arguments :
        {std::vector<std::string>{"/C", "/N", "255.255.255.0"}, {"/X"}, {"/"}, {"/C", "/H"},
            {"/C", "/M", "001122334455", "-q"}}) {
        const RunResult result = Run(arguments);
        EXPECT_EQ(result.exitCode, 3) << arguments.back();
        EXPECT_TRUE(result.output.starts_with("\nUsage:\n")) << arguments.back();
    }
    EXPECT_TRUE(Received().empty());
}

TEST_F(ConsoleModeTest, VersionOnAPipe)
{
    for (const std::vector<std::string>& arguments :
        {std::vector<std::string>{"/V"}, {"/C", "/V"}}) {
        const RunResult result = Run(arguments);
        EXPECT_EQ(result.exitCode, 3);
        EXPECT_EQ(result.output, "\nVexmoor Ver.3.02\n");
    }
}

TEST_F(ConsoleModeTest, AFailedWriteIsNotReportedAsPrinted)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/full", O_WRONLY, 0);
    EXPECT_EQ(WaitExitCode(Spawn({"/V"}, &actions, nullptr)), -2);
    EXPECT_EQ(WaitExitCode(Spawn({"/X"}, &actions, nullptr)), -2);
    posix_spawn_file_actions_destroy(&actions);
}

TEST_F(ConsoleModeTest, WithoutStandardOutputTheTerminalIsOpened)
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
    const pid_t pid = Spawn({"/V"}, &actions, &attributes);
    EXPECT_EQ(WaitExitCode(pid), 2);
    EXPECT_EQ(ReadAll(master), "\r\nVexmoor Ver.3.02\r\n"); // the terminal maps LF to CR LF
    close(master);

    // Without a terminal nothing can be printed.
    posix_spawn_file_actions_destroy(&actions);
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO);
    EXPECT_EQ(WaitExitCode(Spawn({"/V"}, &actions, &attributes)), -2);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
}

} // namespace
} // namespace pondel
