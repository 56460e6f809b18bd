#pragma once

#include <string>

#include "HostList.h"
#include "Settings.h"

namespace pondel::test {

// The two host lists the save loop writes in turn. Both have the same rows,
// so that each save rewrites the same lines and the file is always exactly
// one of two texts.
inline HostList SaveLoopHosts(int count, char variant)
{
    HostList hosts;
    hosts.Reserve(count);
    for (int row = 0; row < count; ++row) {
        const std::string number = std::to_string(row);
        hosts.Append(MakeHostInfo(std::string("host-") + variant + '-' + number,
            "a comment long enough to make the file large " + number,
            "198.51.100." + std::to_string(row % 254 + 1), "255.255.255.0",
            variant == 'a' ? "00:11:22:33:44:55" : "66:77:88:99:AA:BB"));
    }
    return hosts;
}

inline AppSettings SaveLoopSettings(int count)
{
    AppSettings settings;
    SetDefaultSettings(settings);
    settings.maxHostNum = static_cast<std::uint32_t>(count);
    return settings;
}

} // namespace pondel::test
