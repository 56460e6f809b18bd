#include "ConsoleProgram.h"

#include <gtest/gtest.h>

namespace pondel::test {

ConsoleProgram::ConsoleProgram()
{
    std::filesystem::copy_file(PONDEL_EXECUTABLE, folder_ / "pondel");
}

std::vector<std::string> ConsoleProgram::Argv(const std::vector<std::string>& arguments) const
{
    std::vector<std::string> argv{(folder_ / "pondel").string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

RunResult ConsoleProgram::Run(const std::vector<std::string>& arguments) const
{
    return RunCaptured(Argv(arguments));
}

RunResult ConsoleProgram::RunUnprivileged(const std::vector<std::string>& arguments) const
{
    return RunWithout({"net_raw", "net_admin"}, arguments);
}

RunResult ConsoleProgram::RunWithout(
    const std::vector<std::string>& capabilities, const std::vector<std::string>& arguments) const
{
    // Out of the bounding set, the capabilities are not regained at exec.
    std::string dropped;
    for (const std::string& capability : capabilities)
        dropped += (dropped.empty() ? "-" : ",-") + capability;
    std::vector<std::string> argv{
        "setpriv", "--bounding-set=" + dropped, "--inh-caps=" + dropped, "--"};
    const std::vector<std::string> program = Argv(arguments);
    argv.insert(argv.end(), program.begin(), program.end());
    return RunCaptured(argv);
}

pid_t ConsoleProgram::Spawn(const std::vector<std::string>& arguments,
    const posix_spawn_file_actions_t* actions, const posix_spawnattr_t* attributes) const
{
    const pid_t pid = SpawnProgram(Argv(arguments), actions, attributes);
    EXPECT_GT(pid, 0);
    return pid;
}

} // namespace pondel::test
