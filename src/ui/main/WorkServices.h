#pragma once

#include "AddressSweep.h"
#include "AddressLookup.h"
#include "LocalNetworkQueries.h"
#include "ShutdownCommands.h"
#include "StatusMonitor.h"
#include "WakeCommands.h"

namespace pondel {

// What the window's background work asks of the system: probes for the
// status passes and the sweep, the wake-up's network, this computer's own
// address and the shutdown command runner. Tests put stand-ins here.
struct WorkServices {
    MonitorServices monitor;
    SweepServices sweep;
    WakeNetwork wake = SystemWakeNetwork();
    LocalNetworkQueries local{FindLocalHostAddress, GetNetMask};
    CommandRunner shutdownRunner = DetachedCommandRunner();
};

} // namespace pondel
