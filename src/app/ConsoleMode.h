#pragma once

#include <string>
#include <vector>

#include "WakeUpTarget.h"
#include "AppSettings.h"
#include "HostList.h"

namespace pondel {

// The console wake-up always uses the echo port, whatever the window mode's
// port option says.
inline constexpr std::uint16_t kConsoleWakeUpPort = 7;

// Whether the command line opens the window: no /C, no /V and no unknown
// switch. Everything else is the console side below.
[[nodiscard]] bool OpensWindow(const std::vector<std::string>& arguments);

// Runs the console side of the command line: the usage or version text, or
// a wake-up. Returns 0 when the window application is to start instead;
// otherwise 1 for a magic packet sent, -1 for a wake-up that failed (no MAC,
// no IP address without broadcast, or a send error; one line on standard
// error says which), or the console result of the text printed.
[[nodiscard]] int ProcessCommandLine(const std::vector<std::string>& arguments,
    const HostList& hosts, const LocalNetworkQueries& local);

// The same, with the settings that the status query (/C /Q) probes by: it
// prints one line per host and gives 1 (exit code 0), or -1 when the probe
// cannot be readied or /H names no host of the list.
[[nodiscard]] int ProcessCommandLine(const std::vector<std::string>& arguments,
    const HostList& hosts, const LocalNetworkQueries& local, const AppSettings& settings);

} // namespace pondel
