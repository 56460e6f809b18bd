#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "HostList.h"
#include "IniDocument.h"

namespace pondel {

// The host list in the settings file: one section HOST_<row> a host, with
// the keys HOST_NAME, COMMENT, IP_ADDR, NET_MASK and MAC_ADDR, and for a
// host that has them INTERFACE and SECURE_ON (its wake-up options) and GROUP.

// Replaces the hosts with the sections HOST_0 to HOST_<maxHostNum - 1> that
// hold an IP address, in the order of their numbers and without gaps.
void LoadHostList(const IniDocument& document, std::uint32_t maxHostNum, HostList& hosts);

// What the filter of LoadHostList sees of a host: its name and address, each
// cut as its record's field cuts it.
struct HostNameAndAddress {
    std::string_view hostName;
    std::string_view ipAddr;
};

// LoadHostList keeping only the hosts that `keep` accepts, in the same
// order: for a caller that looks for one host and need not hold them all.
void LoadHostList(const IniDocument& document, std::uint32_t maxHostNum, HostList& hosts,
    const std::function<bool(const HostNameAndAddress&)>& keep);

// The row LoadHostList gives section HOST_<section>: its number less the
// sections before it that hold no IP address and are left out. None when the
// section holds no address itself, or lies at or past maxHostNum.
[[nodiscard]] std::optional<std::int32_t> RowOfHostSection(
    const IniDocument& document, std::uint32_t maxHostNum, std::uint32_t section);

// Writes every host as section HOST_<row> and removes the host sections past
// the last row, below maxHostNum, that are not complete.
void SaveHostList(IniDocument& document, const HostList& hosts, std::uint32_t maxHostNum);

} // namespace pondel
