#include "NameLookup.h"

#include <vector>

#include "AddressLookup.h"
#include "SystemNetwork.h"

namespace pondel {

std::optional<std::uint32_t> LookupHostAddress(std::string_view hostName)
{
    if (hostName.empty()) {
        const std::uint32_t own = GetLocalHostAddress();
        if (own == 0)
            return std::nullopt;
        return own;
    }
    const std::vector<std::uint32_t> addresses = system_network::ResolveIpv4(hostName);
    if (addresses.empty())
        return std::nullopt;
    return addresses.front();
}

} // namespace pondel
