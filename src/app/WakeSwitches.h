#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CommandLine.h"
#include "WakeRequest.h"

namespace pondel {

// Ports a wake-up may go to at once.
inline constexpr std::size_t kMostWakePorts = 16;

// A list of ports such as "9" or "7,9": decimal numbers from 1 to 65535
// separated by commas, at most kMostWakePorts of them; a port given twice
// counts once. None for any other text, the empty one included.
[[nodiscard]] std::optional<std::vector<std::uint16_t>> ParsePortList(std::string_view text);

// A SecureOn password: six hexadecimal byte pairs written like a MAC address.
[[nodiscard]] std::optional<SecureOnPassword> ParseSecureOn(std::string_view text);

// The console wake-up's own switches, checked.
struct WakeSwitches {
    bool given = false;        // any of them: the console reports what it sent
    bool allPaths = false;     // /A
    bool dryRun = false;       // /D
    std::string interfaceName; // /E
    std::optional<std::vector<std::uint16_t>> ports; // /P, instead of the echo port
    unsigned repeats = 1;                            // /R
    std::string secureOn;                            // /S, as typed
};

// None when a value is bad; the console then shows its usage text.
[[nodiscard]] std::optional<WakeSwitches> ReadWakeSwitches(const CommandLineOptions& options);

} // namespace pondel
