#include "HostProbe.h"

namespace pondel {

ProbeSettings StatusProbeSettings(const AppSettings& settings)
{
    return {settings.icmpTimeOut,
        settings.noExternalCommand != 0 ? ProbeMethod::kOwnEcho : ProbeMethod::kSystemPing,
        settings.probeRate, settings.arpProbe != 0};
}

} // namespace pondel
