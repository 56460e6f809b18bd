#include "ConsoleProgram.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ChildProcess.h"

namespace pondel::test {

namespace fs = std::filesystem;

ConsoleProgram::ConsoleProgram()
{
    std::string pattern = testing::TempDir() + "pondel-console-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("no temporary folder");
    directory_ = pattern;
    fs::copy_file(PONDEL_EXECUTABLE, directory_ / "pondel");
}

ConsoleProgram::~ConsoleProgram()
{
    std::error_code ignored;
    fs::remove_all(directory_, ignored);
}

void ConsoleProgram::WriteSettings(const std::string& text) const
{
    std::ofstream(directory_ / "pondel.ini", std::ios::binary) << text;
}

std::string ConsoleProgram::ReadSettings() const
{
    std::ifstream file(directory_ / "pondel.ini", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

RunResult ConsoleProgram::Run(const std::vector<std::string>& arguments) const
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

pid_t ConsoleProgram::Spawn(const std::vector<std::string>& arguments,
    const posix_spawn_file_actions_t* actions, const posix_spawnattr_t* attributes) const
{
    std::vector<std::string> argv{(directory_ / "pondel").string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const pid_t pid = SpawnProgram(argv, actions, attributes);
    EXPECT_GT(pid, 0);
    return pid;
}

} // namespace pondel::test
