#include "WakeSwitches.h"

#include <algorithm>
#include <charconv>

#include "MacAddress.h"
#include "WakeOptionTexts.h"

namespace pondel {
namespace {

constexpr unsigned kMostRepeats = 10;

// A whole decimal number from 1 to `most`, no sign and no blanks.
std::optional<unsigned> ParseCount(std::string_view text, unsigned most)
{
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value == 0 ||
        value > most)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::vector<std::uint16_t>> ParsePortList(std::string_view text)
{
    std::vector<std::uint16_t> ports;
    for (;;) {
        const std::size_t comma = text.find(',');
        const auto port = ParseCount(text.substr(0, comma), 65535);
        if (!port)
            return std::nullopt;
        if (std::ranges::find(ports, *port) == ports.end())
            ports.push_back(static_cast<std::uint16_t>(*port));
        if (ports.size() > kMostWakePorts)
            return std::nullopt;
        if (comma == std::string_view::npos)
            return ports;
        text.remove_prefix(comma + 1);
    }
}

std::optional<SecureOnPassword> ParseSecureOn(std::string_view text)
{
    MacAddress bytes{};
    if (ParseMacAddress(text, bytes) != 0)
        return std::nullopt;
    return bytes;
}

std::optional<WakeSwitches> ReadWakeSwitches(const CommandLineOptions& options)
{
    WakeSwitches switches;
    switches.allPaths = options.allPaths;
    switches.dryRun = options.dryRun;
    switches.given = options.allPaths || options.dryRun || options.interfaceName || options.ports ||
        options.repeats || options.secureOn;
    if (options.interfaceName) {
        if (!IsValidInterfaceName(*options.interfaceName))
            return std::nullopt;
        switches.interfaceName = *options.interfaceName;
    }
    if (options.ports) {
        switches.ports = ParsePortList(*options.ports);
        if (!switches.ports)
            return std::nullopt;
    }
    if (options.repeats) {
        const auto repeats = ParseCount(*options.repeats, kMostRepeats);
        if (!repeats)
            return std::nullopt;
        switches.repeats = *repeats;
    }
    if (options.secureOn) {
        if (!ParseSecureOn(*options.secureOn))
            return std::nullopt;
        switches.secureOn = *options.secureOn;
    }
    return switches;
}

} // namespace pondel
