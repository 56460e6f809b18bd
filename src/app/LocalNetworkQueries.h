#pragma once

#include <cstdint>
#include <functional>

#include "Result.h"

namespace pondel {

// The questions about this computer's own network that some commands need
// answered; the real answers come from the address lookups
// (FindLocalHostAddress and GetNetMask), tests give their own.
struct LocalNetworkQueries {
    // This computer's own address, host order, or why it has none.
    std::function<Result<std::uint32_t>()> localHostAddress;
    // The netmask to assume for an address (host order).
    std::function<std::uint32_t(std::uint32_t)> netMask;
};

} // namespace pondel
