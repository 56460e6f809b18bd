#include "DatagramSend.h"

#include <cerrno>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "SocketHandle.h"

namespace pondel {

DatagramOutcome SendDatagram(std::uint32_t destination, std::uint16_t port,
    std::span<const std::uint8_t> data, bool broadcast)
{
    const SocketHandle socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!socket)
        return {DatagramStep::kNoSocket, errno};

    if (broadcast) {
        const int on = 1;
        if (setsockopt(socket.Get(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0)
            return {DatagramStep::kNoBroadcast, errno};
    }

    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(destination);
    if (sendto(socket.Get(), data.data(), data.size(), 0,
            reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0)
        return {DatagramStep::kSendFailed, errno};
    return {};
}

} // namespace pondel
