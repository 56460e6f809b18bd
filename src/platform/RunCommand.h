#pragma once

#include <string>
#include <vector>

namespace pondel {

// Runs a program with an argument vector (argv[0] is looked up on PATH),
// never through a shell, waits for it without limit and returns its exit
// code. Returns -1 when it cannot be started, and also when it was killed by
// a signal. The child inherits no descriptors but the standard three, and
// its output is discarded, as a hidden window's would be.
//
// With newSession the child starts a session of its own and so has no
// controlling terminal: a program that would ask for a password on the
// terminal fails at once instead of waiting for an answer.
struct RunCommandOptions {
    bool newSession = false;
};

// An ignored SIGCHLD (or SA_NOCLDWAIT), which a parent may pass on, would let
// the kernel reap the child before its exit code is read; the disposition is
// put back to the default first, for the whole process.
[[nodiscard]] int RunCommand(
    const std::vector<std::string>& argv, const RunCommandOptions& options = {});

} // namespace pondel
