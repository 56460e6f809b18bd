#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "HostList.h"

namespace pondel {

// Groups name a room, a rack or any set of hosts: each host belongs to at
// most one. Names match without regard to ASCII case, as host names do, so
// "Lab" and "lab" are one group.

// The name that stands for every host on the command line.
inline constexpr std::string_view kAllGroups = "*";

// The most bytes a group name holds.
inline constexpr std::size_t kGroupNameBytes = 31;

// Whether a text may be stored as a group name: empty (no group), or at most
// kGroupNameBytes bytes of UTF-8 without control characters, without blanks
// at either end, and not kAllGroups.
[[nodiscard]] bool IsValidGroupName(std::string_view name) noexcept;

// The groups of a list, each once in the spelling of its first host, sorted
// without regard to case.
[[nodiscard]] std::vector<std::string> GroupNamesOf(const HostList& hosts);

// The rows of a group's hosts in list order; kAllGroups gives every row.
[[nodiscard]] std::vector<std::int32_t> RowsOfGroup(const HostList& hosts, std::string_view group);

} // namespace pondel
