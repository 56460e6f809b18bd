#pragma once

#include <string>

#include "HostInfo.h"

namespace pondel {

// The five texts of a host, as the window keeps them for the host it last
// acted on (its CurrentHost).
struct HostTexts {
    std::string hostName;
    std::string comment;
    std::string ipAddr;
    std::string netMask;
    std::string macAddr;
};

// The texts of a record; its active flag is not read.
inline HostTexts TextsOf(const tHostInfo& host)
{
    return {host.hostName, host.comment, host.ipAddr, host.netMask, host.macAddr};
}

} // namespace pondel
