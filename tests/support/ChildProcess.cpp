#include "ChildProcess.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace pondel::test {

pid_t SpawnProgram(const std::vector<std::string>& argv, const posix_spawn_file_actions_t* actions,
    const posix_spawnattr_t* attributes)
{
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    return posix_spawnp(&pid, args[0], actions, attributes, args.data(), environ) == 0 ? pid : -1;
}

int WaitExitCode(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1000;
    }
    return WIFEXITED(status) ? static_cast<std::int8_t>(WEXITSTATUS(status)) : -1000;
}

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

int RunProgram(const std::vector<std::string>& argv)
{
    const pid_t pid = SpawnProgram(argv);
    if (pid < 0)
        return -1;
    const int code = WaitExitCode(pid);
    return code == -1000 ? -1 : static_cast<std::uint8_t>(code);
}

RunResult RunCaptured(const std::vector<std::string>& argv)
{
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return {-1000, {}, {}};
    // Standard error goes to a file, so that a child writing much there
    // cannot stall while its standard output is read.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> errors(std::tmpfile(), &std::fclose);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    if (errors)
        posix_spawn_file_actions_adddup2(&actions, fileno(errors.get()), STDERR_FILENO);
    const pid_t pid = SpawnProgram(argv, &actions);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    RunResult result{-1000, ReadAll(pipeFds[0]), {}};
    close(pipeFds[0]);
    if (pid > 0)
        result.exitCode = WaitExitCode(pid);
    if (errors && lseek(fileno(errors.get()), 0, SEEK_SET) == 0)
        result.errorOutput = ReadAll(fileno(errors.get()));
    return result;
}

} // namespace pondel::test
