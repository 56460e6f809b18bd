#include "WakeRequestBuilder.h"

#include <algorithm>
#include <sstream>

#include "Ipv4Text.h"
#include "MacAddress.h"
#include "WakeOptionTexts.h"

namespace pondel {

std::vector<std::uint16_t> ExtraPorts(std::string_view text)
{
    if (auto ports = ParseWakePorts(text))
        return *ports;
    std::vector<std::uint16_t> ports;
    std::string word;
    std::istringstream words{std::string(text)};
    while (std::getline(words, word, ',')) {
        if (const auto port = ParseWakePorts(word); port && port->size() == 1)
            ports.push_back(port->front());
    }
    return ports;
}

BuiltWakeRequest BuildWakeRequest(
    const WakeTarget& target, const AppSettings& settings, bool broadcast)
{
    BuiltWakeRequest built;
    WakeRequest& request = built.request;
    if (ParseMacAddress(target.macAddr, request.mac) != 0) {
        built.refusal = MessageId::kIllegalMac;
        return built;
    }
    if (!IsBlankText(target.secureOn)) {
        SecureOnPassword password{};
        if (ParseMacAddress(target.secureOn, password) != 0) {
            built.refusal = MessageId::kIllegalSecureOn;
            return built;
        }
        request.secureOn = password;
    }
    // A hand-edited file may hold any text; only a name the system could
    // give an interface reaches the sender.
    if (!target.interfaceName.empty() && !IsValidInterfaceName(target.interfaceName)) {
        built.refusal = MessageId::kIllegalInterface;
        return built;
    }
    request.ip = TextToIp(target.ipAddr);
    request.netMask = TextToIp(target.netMask);
    request.interfaceName = std::string(target.interfaceName);
    request.paths = PathBit(broadcast ? WakePath::kDirectedBroadcast : WakePath::kUnicast) |
        (settings.wakePaths & kExtraWakePaths);
    // A unicast asked for as an extra path makes sure it can reach a host
    // that no longer answers address resolution.
    request.watchNeighbour = (settings.wakePaths & PathBit(WakePath::kUnicast)) != 0;
    // The port as the socket address holds it: the low 16 bits of PORT_NO.
    request.ports = {static_cast<std::uint16_t>(settings.portNo)};
    for (const std::uint16_t port : ExtraPorts(settings.wakeExtraPorts)) {
        if (std::ranges::find(request.ports, port) == request.ports.end())
            request.ports.push_back(port);
    }
    request.repeats = std::clamp(
        settings.wakeRepeatCount, kWakeRepeatCountRange.minimum, kWakeRepeatCountRange.maximum);
    request.interval = std::chrono::milliseconds(std::clamp(settings.wakeRepeatInterval,
        kWakeRepeatIntervalRange.minimum, kWakeRepeatIntervalRange.maximum));
    return built;
}

} // namespace pondel
