#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "CommandLine.h"
#include "HostList.h"
#include "LocalNetworkQueries.h"

namespace pondel {

// Where a console wake-up goes, in the texts the magic packet takes.
struct WakeUpTarget {
    std::string ipAddr;  // at most 15 characters
    std::string netMask; // at most 15 characters
    std::string macAddr; // at most 17 characters
    bool broadcast = true;
    // The /H row's own wake options, as the row holds them.
    std::string interfaceName;
    std::string secureOn;
    // The address came from /I or the /H row, not from this computer.
    bool addressGiven = false;
};

// Builds the target from the switches and the host list: /H copies a named
// row's addresses (and its interface and SecureOn password), /I an address
// (and a matching row's netmask and MAC where still missing), /M the MAC,
// /N the netmask. A missing IP address becomes this computer's own, a
// missing netmask the one the system has for the address. None when there
// is no MAC, or no IP address and no broadcast.
[[nodiscard]] std::optional<WakeUpTarget> AssembleWakeUpTarget(
    const CommandLineOptions& options, const HostList& hosts, const LocalNetworkQueries& local);

// The target of one row of the list, as /H gives it for the row it names
// without other switches: the row's addresses and wake options, a missing
// netmask filled in. None when the row has no MAC address.
[[nodiscard]] std::optional<WakeUpTarget> RowWakeUpTarget(
    const tHostInfo& row, bool broadcast, const LocalNetworkQueries& local);

// Why AssembleWakeUpTarget gave no target, in one line for the user: the
// host named with /H is not in the list, the host found has no MAC address,
// no MAC address was given, or there is no IP address while /B turns
// broadcast off. Texts from the command line or the list are shown with
// their control characters replaced, so that the line stays one line.
[[nodiscard]] std::string WakeUpTargetFailure(
    const CommandLineOptions& options, const HostList& hosts);

// A text as one printable line: control characters become '?'.
[[nodiscard]] std::string OneLineText(std::string_view text);

// Whether AssembleWakeUpTarget may take anything from a row, told on the
// row's name and address as its record holds them: its name is the /H
// name, or its address the /I address. A host list of such rows alone, in
// their order, gives the same target as the whole list. The switches' texts
// are prepared once, for row after row of a list being read.
class TargetRowFilter final {
public:
    explicit TargetRowFilter(const CommandLineOptions& options);
    [[nodiscard]] bool operator()(
        std::string_view hostName, std::string_view ipAddr) const noexcept;

private:
    std::optional<std::string> hostName_;
    std::optional<std::string> ipAddr_; // cut as AssembleWakeUpTarget cuts it
};

} // namespace pondel
