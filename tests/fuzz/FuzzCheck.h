#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "HostInfo.h"

namespace pondel::fuzz {

// A broken promise of the code under test becomes a crash, which libFuzzer
// reports and keeps as an input; assert() would vanish from optimised builds.
inline void Require(bool condition, const char* promise)
{
    if (!condition) {
        std::fprintf(stderr, "Broken promise: %s\n", promise);
        std::abort();
    }
}

template <std::size_t N>
[[nodiscard]] bool IsTerminated(const char (&field)[N])
{
    return std::memchr(field, '\0', N) != nullptr;
}

// Every text field of a record ends inside its storage.
[[nodiscard]] inline bool IsWellFormed(const tHostInfo& host)
{
    return IsTerminated(host.hostName) && IsTerminated(host.comment) && IsTerminated(host.ipAddr) &&
        IsTerminated(host.netMask) && IsTerminated(host.macAddr);
}

[[nodiscard]] inline bool SameTexts(const tHostInfo& a, const tHostInfo& b)
{
    return std::strcmp(a.hostName, b.hostName) == 0 && std::strcmp(a.comment, b.comment) == 0 &&
        std::strcmp(a.ipAddr, b.ipAddr) == 0 && std::strcmp(a.netMask, b.netMask) == 0 &&
        std::strcmp(a.macAddr, b.macAddr) == 0;
}

[[nodiscard]] inline std::string_view AsText(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace pondel::fuzz
