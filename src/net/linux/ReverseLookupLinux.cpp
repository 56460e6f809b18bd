#include "ReverseLookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace pondel {

std::optional<std::string> ReverseLookupName(std::uint32_t address)
{
    sockaddr_in socketAddress{};
    socketAddress.sin_family = AF_INET;
    socketAddress.sin_addr.s_addr = htonl(address);
    char name[NI_MAXHOST] = {};
    // Without NI_NAMEREQD an unnamed address would come back as its own
    // dotted text, which is not a name.
    const int status = getnameinfo(reinterpret_cast<const sockaddr*>(&socketAddress),
        sizeof socketAddress, name, sizeof name, nullptr, 0, NI_NAMEREQD);
    if (status != 0 || name[0] == '\0')
        return std::nullopt;
    return std::string(name);
}

} // namespace pondel
