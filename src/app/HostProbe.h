#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "AppSettings.h"
#include "EchoBatch.h"
#include "Icmp.h"

namespace pondel {

// How the hosts of one run are probed, how long each probe waits and how
// fast the requests go out.
struct ProbeSettings {
    std::uint32_t timeOut = 30; // milliseconds
    ProbeMethod method = ProbeMethod::kSystemPing;
    // Echo requests a second; 0 probes one host after another.
    std::uint32_t rate = kDefaultEchoRate;
    // Hosts on this computer's own links are also asked by ARP.
    bool askLink = false;
};

// The status monitor's choice: NO_EXTERNAL_COMMAND, ICMP_TIME_OUT and
// PROBE_RATE.
[[nodiscard]] ProbeSettings StatusProbeSettings(const AppSettings& settings);

// Probes one host by its IP address text; true when it answered.
using HostProbe = std::function<bool(std::string_view ipAddr)>;

} // namespace pondel
