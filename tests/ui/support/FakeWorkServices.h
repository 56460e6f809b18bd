#pragma once

#include <string>

#include "FakeProbes.h"
#include "Ipv4Text.h"
#include "WorkServices.h"

namespace pondel::test {

// The window's background work over `probes`: 255.255.0.0 for hosts without
// a netmask, "host-" and the address for every name asked, and this computer
// at `localAddress` in a /24.
inline WorkServices FakeServices(FakeProbes& probes, std::string localAddress = "192.0.2.20")
{
    WorkServices services;
    services.monitor = probes.Monitor();
    services.sweep = probes.Sweep();
    const std::uint32_t local = TextToIp(localAddress);
    services.local =
        LocalNetworkQueries{[local] { return local; }, [](std::uint32_t) { return 0xFFFFFF00u; }};
    return services;
}

} // namespace pondel::test
