#include "Ipv4Text.h"
// The address texts by the system's own conversions, so that an address
// reads here as it does for the other programs on this computer.

#include <string>

#include <arpa/inet.h>
#include <netinet/in.h>

#include "AsciiText.h"

namespace pondel {

std::string IpToText(std::uint32_t address)
{
    in_addr networkOrder{};
    networkOrder.s_addr = htonl(address);
    char text[INET_ADDRSTRLEN] = {};
    if (inet_ntop(AF_INET, &networkOrder, text, sizeof text) == nullptr)
        return {};
    return text;
}

std::uint32_t TextToIp(std::string_view text)
{
    // inet_addr needs a terminated string; an embedded NUL ends the text
    // there, as it would for the C string the address came from.
    const std::string terminated(CutAtNul(text));
    return ntohl(inet_addr(terminated.c_str()));
}

} // namespace pondel
