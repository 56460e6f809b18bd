#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Result.h"

// Questions about addresses: this computer's own address, the addresses of
// its running adapters, the MAC address behind an address, the netmask to
// assume for an address and whether an address lies in one of our networks.
// Addresses are host-order values. Nothing is kept between calls; every
// function may be called from any thread.
namespace pondel {

// This computer's own IPv4 address. The resolver's first address for the
// host name is taken when it belongs to a qualifying adapter; otherwise the
// first address of the qualifying adapter that holds the default route, and
// without one the first address of the first qualifying adapter. 0 when
// there is none.
[[nodiscard]] std::uint32_t GetLocalHostAddress();

// The same, with the reason when there is none: the system's when the
// adapters cannot be read, or that no adapter qualifies.
[[nodiscard]] Result<std::uint32_t> FindLocalHostAddress();

// Every IPv4 address of the qualifying adapters, adapters and addresses in
// the system's order. Empty when there is none or the list cannot be read.
//
// An adapter qualifies when it is up, has a hardware address and is not a
// software loopback; of its addresses only the settled (non-transient) ones
// count.
[[nodiscard]] std::vector<std::uint32_t> GetLocalAdapterAddresses();

// The MAC text of the first qualifying adapter that has exactly this
// address text (compared character by character); none when no adapter has.
[[nodiscard]] std::optional<std::string> GetLocalAdapterMac(std::string_view ipText);

// How long GetMacAddress waits for an answer from the link.
inline constexpr std::chrono::milliseconds kMacLookupWait{3000};

// The MAC text for an address given in any form inet_addr accepts: the
// adapter's own for an address of this computer (nothing is sent), otherwise
// the answer of the host on a local link, asked for when not yet known and
// waited for at most kMacLookupWait. None when nothing answers or when the
// address is not inside a subnet of a qualifying adapter.
[[nodiscard]] std::optional<std::string> GetMacAddress(std::string_view ipText);

// What GetMacAddress gives, but only from what this computer already knows:
// nothing is sent and nothing waited for. A host that has just answered an
// echo is known.
[[nodiscard]] std::optional<std::string> GetKnownMacAddress(std::string_view ipText);

// The netmask to assume for an address: its own row's in the address table,
// else the row of this computer's own address, else the first row's; the
// classful mask when the table cannot be read or is empty. Never fails.
[[nodiscard]] std::uint32_t GetNetMask(std::uint32_t address);

// GetNetMask over one reading of the address table (and of this computer's
// own address, when needed): for asking about many hosts in a row.
[[nodiscard]] std::function<std::uint32_t(std::uint32_t)> ReadNetMasks();

// True when (target AND netMask) equals (an adapter address AND netMask):
// the target's mask decides, the adapters' own masks play no part. Without
// adapter addresses, this computer's own address stands in for them.
[[nodiscard]] bool IsOnLocalNetwork(std::uint32_t target, std::uint32_t netMask);

// The mask of the address's class: 255.0.0.0 for A, 255.255.0.0 for B,
// 255.255.255.0 for everything above.
[[nodiscard]] std::uint32_t ClassfulNetMask(std::uint32_t address);

} // namespace pondel
