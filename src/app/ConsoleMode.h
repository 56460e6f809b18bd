#pragma once

#include <string>
#include <vector>

#include "WakeUpTarget.h"
#include "WakeWatcher.h"
#include "AppSettings.h"
#include "HostList.h"

namespace pondel {

// Whether the command line opens the window: no /C, no /V and no unknown
// switch. Everything else is the console side below.
[[nodiscard]] bool OpensWindow(const std::vector<std::string>& arguments);

// Runs the console side of the command line: the usage or version text, or
// a wake-up. Returns 0 when the window application is to start instead;
// otherwise 1 for a magic packet sent (or a dry run printed), -1 for a
// wake-up that failed (no MAC, no IP address without broadcast, or nothing
// could be sent; one line on standard error says which), or the console
// result of the text printed. A bad value of a wake switch (/E, /P, /R, /S)
// gets the usage text, as an unknown switch does.
// After a wake-up, /W seconds watches the host with `watch` and gives 1 when
// it answered in time, kWakeNoAnswer (4) when not. /W without an address
// from /I or the /H row, or without a number of seconds from 1 to 3600,
// prints the usage text and sends nothing. /W watches with the settings'
// WAKE_CONFIRM_INTERVAL and WAKE_RESEND_SECONDS.
// The status query (/C /Q) probes with the settings' probe options: it
// prints one line per host and gives 1 (exit code 0), or -1 when the probe
// cannot be readied or /H names no host of the list.
// Listening (/C /L [seconds]) prints the wake packets that arrive and gives 1
// when one did, kListenNothingHeard (5) when none did, -1 when nothing could
// be opened; seconds that are not a number from 0 to 86400 get the usage
// text.
[[nodiscard]] int ProcessCommandLine(const std::vector<std::string>& arguments,
    const HostList& hosts, const LocalNetworkQueries& local, const AppSettings& settings);

} // namespace pondel
