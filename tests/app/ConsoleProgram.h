#pragma once

#include <string>
#include <vector>

#include <spawn.h>
#include <sys/types.h>

#include "ChildProcess.h"
#include "TemporaryDirectory.h"

namespace pondel::test {

// A copy of the real executable in a temporary folder of its own, with its
// settings file beside it, as a user's installation would be.
class ConsoleProgram final {
public:
    ConsoleProgram();

    std::filesystem::path SettingsFile() const { return folder_ / "pondel.ini"; }
    // Runs the program with standard output on a pipe.
    RunResult Run(const std::vector<std::string>& arguments) const;
    // The same without the network privileges (CAP_NET_RAW, CAP_NET_ADMIN)
    // a root test process has.
    RunResult RunUnprivileged(const std::vector<std::string>& arguments) const;
    // The same without the named capabilities ("net_bind_service", ...).
    RunResult RunWithout(const std::vector<std::string>& capabilities,
        const std::vector<std::string>& arguments) const;
    pid_t Spawn(const std::vector<std::string>& arguments,
        const posix_spawn_file_actions_t* actions, const posix_spawnattr_t* attributes) const;

private:
    std::vector<std::string> Argv(const std::vector<std::string>& arguments) const;

    TemporaryDirectory folder_;
};

} // namespace pondel::test
