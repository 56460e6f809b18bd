#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "AppSettings.h"
#include "Icmp.h"
#include "Result.h"

namespace pondel {

// How the hosts of one run are probed, and how long each probe waits.
struct ProbeSettings {
    std::uint32_t timeOut = 30; // milliseconds
    ProbeMethod method = ProbeMethod::kSystemPing;
};

// The status monitor's choice: NO_EXTERNAL_COMMAND and ICMP_TIME_OUT.
[[nodiscard]] ProbeSettings StatusProbeSettings(const AppSettings& settings);

// Probes one host by its IP address text; true when it answered. A probe
// serves one run on one thread.
using HostProbe = std::function<bool(std::string_view ipAddr)>;

// Readies the probe of one run, or says why it cannot be had.
using HostProbeOpener = std::function<Result<HostProbe>(const ProbeSettings&)>;

// Our own echo opens one ICMP socket for the whole run; when none can be
// opened the error's message is "ICMP_Init(): error:(%u)%s" with the system's
// code and text. The system ping needs nothing opened.
[[nodiscard]] Result<HostProbe> OpenHostProbe(const ProbeSettings& settings);

} // namespace pondel
