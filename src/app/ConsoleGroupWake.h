#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "HostList.h"
#include "LocalNetworkQueries.h"
#include "WakeSwitches.h"
#include "WakeWatcher.h"

namespace pondel {

// The rows /G names: those of the group in list order, every row for
// kAllGroups. None, with one line on standard error, when no row is in it.
[[nodiscard]] std::optional<HostList> HostsOfGroup(const HostList& hosts, std::string_view group);

// /G: wakes every host of `group` in list order, each as /H wakes its row,
// with the same switches. One line per host: "name<TAB>address<TAB>sent"
// ("planned" for /D) on standard output after the host's own packet lines,
// or why it could not be woken on standard error, a host without a MAC
// address included. With waitSeconds (/W, already checked) every host sent
// to is then watched at once until it answers or the time is up, and one
// line per host tells its outcome.
// Returns ProcessCommandLine's codes: 1 when every host was sent to (and,
// with /W, answered), -1 when any could not be woken or no host is in the
// group, else kWakeNoAnswer.
[[nodiscard]] int ConsoleGroupWake(std::string_view group, const HostList& hosts, bool broadcast,
    const WakeSwitches& switches, std::optional<std::uint32_t> waitSeconds,
    const LocalNetworkQueries& local, const WakeWatchSettings& watch);

} // namespace pondel
