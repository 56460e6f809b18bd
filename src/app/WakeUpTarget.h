#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "CommandLine.h"
#include "HostList.h"

namespace pondel {

// Where a console wake-up goes, in the texts the magic packet takes.
struct WakeUpTarget {
    std::string ipAddr;  // at most 15 characters
    std::string netMask; // at most 15 characters
    std::string macAddr; // at most 17 characters
    bool broadcast = true;
};

// The questions about this computer's own network that the target needs
// answered; the real answers come from the address lookups.
struct LocalNetworkQueries {
    std::function<std::uint32_t()> localHostAddress;
    std::function<std::uint32_t(std::uint32_t)> netMask;
};

// Builds the target from the switches and the host list: /H copies a named
// row's addresses, /I an address (and a matching row's netmask and MAC where
// still missing), /M the MAC, /N the netmask. A missing IP address becomes
// this computer's own, a missing netmask the one the system has for the
// address. None when there is no MAC, or no IP address and no broadcast.
[[nodiscard]] std::optional<WakeUpTarget> AssembleWakeUpTarget(
    const CommandLineOptions& options, const HostList& hosts, const LocalNetworkQueries& local);

} // namespace pondel
