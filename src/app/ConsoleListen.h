#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "AppSettings.h"
#include "HostList.h"
#include "WakeListener.h"

namespace pondel {

// What ProcessCommandLine returns, and so the exit code, when /L heard no
// wake packet.
inline constexpr int kListenNothingHeard = 5;

// The seconds of /L: 0 (until stopped) when none are given, else a number
// from 0 to 86400; none for anything else.
[[nodiscard]] std::optional<std::uint32_t> ParseListenSeconds(
    const std::optional<std::string>& text);

// One heard line as the console prints it: time, from, to, path, target
// MAC, vendor, host, "secureon", repeats, separated by tabs, "-" for an
// empty field.
[[nodiscard]] std::string ListenLineText(const HeardWakePacket& line);

// /L: listens on the ports of ListenOptionsOf(settings) and for frames for
// `seconds` (0: until SIGINT or SIGTERM) and prints each line on standard
// output once its second is over, with its count. What could not be opened
// is named on standard error first. Returns 1 when a wake packet came,
// kListenNothingHeard when none did, -1 when nothing could be opened.
[[nodiscard]] int ConsoleListen(
    std::uint32_t seconds, const HostList& hosts, const AppSettings& settings);

} // namespace pondel
