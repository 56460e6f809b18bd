#pragma once

#include <string>
#include <vector>

#include "AppSettings.h"
#include "HostList.h"
#include "ProbeRun.h"

namespace pondel {

// One host as the console's status query prints it.
struct HostStatusLine {
    std::string hostName;
    std::string ipAddr;
    std::string state; // up, up-no-ping, another-machine or down
    std::string answeredMac;
    std::string vendor;
};

// The word for a verdict: "up", "up-no-ping", "another-machine" or "down".
[[nodiscard]] const char* StateWord(const HostVerdict& verdict);

// Probes every host of the list at once, as a status pass does, and gives
// one line per host in list order. Hosts without an address are down. Fails
// when the probe cannot be readied.
[[nodiscard]] Result<std::vector<HostStatusLine>> QueryHostStatus(
    const HostList& hosts, const AppSettings& settings, const ProbeRunOpener& openProbe);

// The lines as printed: the five fields separated by tabs, "-" for an empty
// one.
[[nodiscard]] std::string FormatStatusLines(const std::vector<HostStatusLine>& lines);

} // namespace pondel
