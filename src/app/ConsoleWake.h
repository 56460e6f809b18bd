#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "WakeSwitches.h"
#include "WakeUpTarget.h"

namespace pondel {

// The console wake-up always uses the echo port, whatever the window mode's
// port option says; /P names others.
inline constexpr std::uint16_t kConsoleWakeUpPort = 7;

// A failed wake-up says why on standard error, one line, and leaves standard
// output to the usage and version texts; a script still reads the exit code.
// Returns -1.
int ConsoleWakeFailed(std::string_view reason);

// What SendConsoleWake did: sent (or planned), or why nothing went out.
struct ConsoleWakeOutcome {
    bool sent = false;
    std::string failure; // one line, when nothing went out
};

// ConsoleWake without its line on standard error, for a caller that tells
// the failure in its own words.
[[nodiscard]] ConsoleWakeOutcome SendConsoleWake(
    const WakeUpTarget& target, const WakeSwitches& switches);

// Sends the wake-up to an assembled target, or with /D only plans it.
// Returns ProcessCommandLine's codes: 1 when at least one datagram or frame
// went out (and for a dry run), -1 when none could, with one line on
// standard error. Without wake switches nothing is printed otherwise, as
// the console always did; with them, every datagram and frame is listed on
// standard output with its result (see WakeLineText), then a summary line.
[[nodiscard]] int ConsoleWake(const WakeUpTarget& target, const WakeSwitches& switches);

} // namespace pondel
