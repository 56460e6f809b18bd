#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <spawn.h>
#include <sys/types.h>

namespace pondel::test {

struct RunResult {
    int exitCode = 0; // as the program returned it, so -1 and -2 read as such
    std::string output;
};

// A copy of the real executable in a temporary folder of its own, with its
// settings file beside it, as a user's installation would be.
class ConsoleProgram final {
public:
    ConsoleProgram();
    ~ConsoleProgram();
    ConsoleProgram(const ConsoleProgram&) = delete;
    ConsoleProgram& operator=(const ConsoleProgram&) = delete;

    void WriteSettings(const std::string& text) const;
    std::string ReadSettings() const;

    // Runs the program with standard output on a pipe.
    RunResult Run(const std::vector<std::string>& arguments) const;
    pid_t Spawn(const std::vector<std::string>& arguments, const posix_spawn_file_actions_t* actions,
        const posix_spawnattr_t* attributes) const;

private:
    std::filesystem::path directory_;
};

} // namespace pondel::test
