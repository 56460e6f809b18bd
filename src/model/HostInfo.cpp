#include "HostInfo.h"

namespace pondel {

tHostInfo MakeHostInfo(std::string_view hostName, std::string_view comment, std::string_view ipAddr,
    std::string_view netMask, std::string_view macAddr)
{
    tHostInfo host;
    SetField(host.hostName, hostName);
    SetField(host.comment, comment);
    SetField(host.ipAddr, ipAddr);
    SetField(host.netMask, netMask);
    SetField(host.macAddr, macAddr);
    return host;
}

} // namespace pondel
