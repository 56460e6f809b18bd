#pragma once

#include <string>
#include <vector>

#include <spawn.h>
#include <sys/types.h>

namespace pondel::test {

// Starts a program (argv[0] looked up on PATH when it has no slash) with the
// given file actions and attributes, either of which may be null. -1 when it
// cannot be started.
pid_t SpawnProgram(const std::vector<std::string>& argv,
    const posix_spawn_file_actions_t* actions = nullptr,
    const posix_spawnattr_t* attributes = nullptr);

// Waits for a child and gives its exit code as the program returned it, so
// that -1 and -2 read as such; -1000 when it did not exit normally.
int WaitExitCode(pid_t pid);

// Everything a descriptor delivers until its end, or until nothing has come
// for five seconds.
std::string ReadAll(int fd);

// Runs a program to its end: its exit code (0 to 255), -1 when it could not
// be started or did not exit normally.
int RunProgram(const std::vector<std::string>& argv);

struct RunResult {
    int exitCode = 0; // as WaitExitCode gives it
    std::string output;
    std::string errorOutput;
};

// Runs a program to its end with its standard output on a pipe and its
// standard error in a file.
RunResult RunCaptured(const std::vector<std::string>& argv);

} // namespace pondel::test
