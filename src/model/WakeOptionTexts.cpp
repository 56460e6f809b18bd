#include "WakeOptionTexts.h"

namespace pondel {
namespace {

constexpr std::size_t kMostInterfaceNameBytes = 15; // the system's limit less the terminator
constexpr std::uint32_t kMostPort = 65535;

bool IsPortSeparator(char c) noexcept
{
    return c == ',' || c == ' ' || c == '\t';
}

} // namespace

std::optional<std::vector<std::uint16_t>> ParseWakePorts(std::string_view text)
{
    std::vector<std::uint16_t> ports;
    std::size_t at = 0;
    while (at < text.size()) {
        if (IsPortSeparator(text[at])) {
            ++at;
            continue;
        }
        std::uint32_t port = 0;
        const std::size_t start = at;
        for (; at < text.size() && !IsPortSeparator(text[at]); ++at) {
            const char c = text[at];
            if (c < '0' || c > '9' || at - start >= 5)
                return std::nullopt;
            port = port * 10 + static_cast<std::uint32_t>(c - '0');
        }
        if (port == 0 || port > kMostPort)
            return std::nullopt;
        ports.push_back(static_cast<std::uint16_t>(port));
    }
    return ports;
}

bool IsValidInterfaceName(std::string_view text) noexcept
{
    if (text.empty() || text.size() > kMostInterfaceNameBytes || text == "." || text == "..")
        return false;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte == 0x7F || c == '/' || c == ':')
            return false;
    }
    return true;
}

} // namespace pondel
