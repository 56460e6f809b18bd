#include "RunCommand.h"

#include <cerrno>

#include <csignal>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace pondel {
namespace {

// Spawn attributes and file actions, released in every case.
class SpawnSetup final {
public:
    SpawnSetup()
    {
        posix_spawn_file_actions_init(&actions_);
        posix_spawnattr_init(&attributes_);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attributes_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

// A parent may hand us SIGCHLD ignored (or with SA_NOCLDWAIT), and exec
// keeps that. The kernel then reaps every child at once and waitpid fails
// with ECHILD, so no exit code could ever be read. Nothing in this program
// depends on children being reaped for it, so the default disposition is put
// back before each start; the check is idempotent and safe from any thread.
void LetChildrenBeWaitedFor()
{
    struct sigaction current { };
    if (sigaction(SIGCHLD, nullptr, &current) != 0)
        return;
    const bool ignored = current.sa_handler == SIG_IGN && (current.sa_flags & SA_SIGINFO) == 0;
    if (!ignored && (current.sa_flags & SA_NOCLDWAIT) == 0)
        return;
    if (ignored)
        current.sa_handler = SIG_DFL;
    current.sa_flags &= ~SA_NOCLDWAIT;
    sigaction(SIGCHLD, &current, nullptr);
}

int WaitForExit(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

int RunCommand(const std::vector<std::string>& argv, const RunCommandOptions& options)
{
    if (argv.empty() || argv[0].empty())
        return -1;

    std::vector<char*> arguments;
    arguments.reserve(argv.size() + 1);
    for (const auto& argument : argv)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);

    SpawnSetup setup;
    posix_spawn_file_actions_addopen(&setup.actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&setup.actions_, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&setup.actions_, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // Nothing else the program holds open reaches the child.
    posix_spawn_file_actions_addclosefrom_np(&setup.actions_, STDERR_FILENO + 1);
    if (options.newSession)
        posix_spawnattr_setflags(&setup.attributes_, POSIX_SPAWN_SETSID);

    LetChildrenBeWaitedFor();
    pid_t pid = 0;
    if (posix_spawnp(&pid, arguments[0], &setup.actions_, &setup.attributes_, arguments.data(),
            environ) != 0)
        return -1;
    return WaitForExit(pid);
}

} // namespace pondel
