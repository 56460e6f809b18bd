#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "HostList.h"
#include "HostTexts.h"
#include "WindowSide.h"

namespace pondel {

// Splits a command template into arguments: blanks separate them, double
// quotes keep blanks inside one and are themselves dropped ("" is an empty
// argument). An empty template gives no arguments.
[[nodiscard]] std::vector<std::string> SplitCommandTemplate(std::string_view commandTemplate);

// The template's arguments with every %s replaced by the address, which
// thus always stays inside the one argument that names it.
[[nodiscard]] std::vector<std::string> BuildShutdownCommand(
    std::string_view commandTemplate, std::string_view address);

// One selected row to shut down.
struct ShutdownJob {
    std::int32_t row = -1;
    std::string ipAddr;
};

enum class ShutdownOutcome {
    kDone,
    kNoAddress, // the row has no IP address: nothing was run
    kFailed,    // the command could not be started or ended with non-zero
};

struct ShutdownResult {
    std::int32_t row = -1;
    ShutdownOutcome outcome = ShutdownOutcome::kFailed;
};

// Runs a command and returns its exit code, -1 when it cannot be started.
using CommandRunner = std::function<int(const std::vector<std::string>& argv)>;

// The real runner: the command runs in a session of its own, without a
// terminal and with standard input from /dev/null, never through a shell.
[[nodiscard]] CommandRunner DetachedCommandRunner();

// On the window's thread: asks question 131 when the list has rows (even
// with nothing selected) and gives the selected rows in list order, or
// nothing when the answer is not Yes. CurrentHost takes each row's texts in
// turn, so it ends with the last one's.
[[nodiscard]] std::vector<ShutdownJob> ShutdownSelectedHosts(
    const std::vector<std::int32_t>& selectedRows, const HostList& hosts, HostTexts& currentHost,
    WindowSide& window);

// On any thread: runs the template for one row. A command can take long or
// wait on an unreachable host, so the window runs this off its own thread.
[[nodiscard]] ShutdownOutcome ShutdownHost(
    const ShutdownJob& job, std::string_view commandTemplate, const CommandRunner& run);

// On any thread: every job in order, each result handed on as soon as its
// command has ended; a failure does not stop the others.
void RunShutdownJobs(const std::vector<ShutdownJob>& jobs, std::string_view commandTemplate,
    const std::function<void(const ShutdownResult&)>& onResult,
    const CommandRunner& run = DetachedCommandRunner());

// On the window's thread: message 133 or 132 for a row that failed.
void ReportShutdownResult(const ShutdownResult& result, WindowSide& window);

} // namespace pondel
