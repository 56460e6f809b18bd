#include "HostProbe.h"

#include <memory>
#include <string>

#include "SystemError.h"

namespace pondel {

ProbeSettings StatusProbeSettings(const AppSettings& settings)
{
    return {settings.icmpTimeOut,
        settings.noExternalCommand != 0 ? ProbeMethod::kOwnEcho : ProbeMethod::kSystemPing};
}

Result<HostProbe> OpenHostProbe(const ProbeSettings& settings)
{
    const std::uint32_t timeOut = settings.timeOut;
    if (settings.method == ProbeMethod::kSystemPing)
        return HostProbe([timeOut](std::string_view ip) { return PingCommand(ip, timeOut) == 0; });

    Result<IcmpSocket> opened = IcmpOpen();
    if (!opened) {
        const int error = opened.Error().code;
        return ErrorInfo{error,
            "ICMP_Init(): error:(" + std::to_string(static_cast<unsigned int>(error)) + ")" +
                GetSystemErrorText(error)};
    }
    auto socket = std::make_shared<IcmpSocket>(std::move(opened).Value());
    return HostProbe(
        [socket, timeOut](std::string_view ip) { return IcmpEcho(timeOut, ip, *socket) == 0; });
}

} // namespace pondel
