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

// A host's wake-up options as its record keeps them: the interface its
// wake-ups leave by and its SecureOn password, each empty when not set.
struct HostWakeTexts {
    std::string interfaceName;
    std::string secureOn;
};

inline HostWakeTexts WakeTextsOf(const tHostInfo& host)
{
    return {std::string(FieldText(host.interfaceName)), std::string(FieldText(host.secureOn))};
}

inline void SetWakeTexts(tHostInfo& host, const HostWakeTexts& texts)
{
    SetField(host.interfaceName, texts.interfaceName);
    SetField(host.secureOn, texts.secureOn);
}

} // namespace pondel
