#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include <linux/netlink.h>
#include <linux/rtnetlink.h>

#include "Result.h"
#include "SocketHandle.h"

// A small client of the kernel's routing socket (rtnetlink). Reading the
// link, address, route and neighbour tables needs no privileges.
namespace pondel::rtnetlink {

// One whole netlink message (header first), copied out of the receive buffer.
using Message = std::vector<std::uint8_t>;

[[nodiscard]] const nlmsghdr& Header(const Message& message);

// The whole messages of one datagram, in order. A header that claims more
// than the datagram holds, or less than itself, ends the reading there.
[[nodiscard]] std::vector<Message> SplitMessages(std::span<const std::uint8_t> datagram);

// The kernel's accessor macros cast in the C way, which our warnings refuse;
// these do the same arithmetic.
inline constexpr std::size_t kHeaderSize = NLMSG_ALIGN(sizeof(nlmsghdr));
inline constexpr std::size_t kAttributeHeaderSize = RTA_ALIGN(sizeof(rtattr));

[[nodiscard]] inline const std::uint8_t* AttributeData(const rtattr* attribute)
{
    return reinterpret_cast<const std::uint8_t*>(attribute) + kAttributeHeaderSize;
}
[[nodiscard]] inline std::size_t AttributeDataSize(const rtattr* attribute)
{
    return attribute->rta_len - kAttributeHeaderSize;
}

// A request under construction: a header, a fixed body, then attributes.
class Request final {
public:
    Request(std::uint16_t type, std::uint16_t flags);

    template <typename Body>
    Request& Append(const Body& body)
    {
        return AppendBytes(&body, sizeof body);
    }
    Request& AddAttribute(std::uint16_t type, const void* data, std::size_t size);

    std::vector<std::uint8_t>& Bytes() { return bytes_; }

private:
    Request& AppendBytes(const void* data, std::size_t size);

    std::vector<std::uint8_t> bytes_;
};

// The attributes after a message's fixed body, indexed by type; an absent
// attribute is a null pointer.
class Attributes final {
public:
    Attributes(const Message& message, std::size_t bodySize);

    [[nodiscard]] const rtattr* Find(std::uint16_t type) const;
    [[nodiscard]] std::size_t PayloadSize(std::uint16_t type) const;
    [[nodiscard]] std::optional<std::uint32_t> U32(std::uint16_t type) const;
    [[nodiscard]] std::optional<std::uint8_t> U8(std::uint16_t type) const;

private:
    std::vector<const rtattr*> byType_;
};

// The fixed body that follows the header, or null when the message is too short.
template <typename Body>
[[nodiscard]] const Body* BodyOf(const Message& message)
{
    if (message.size() < kHeaderSize + sizeof(Body) ||
        Header(message).nlmsg_len < kHeaderSize + sizeof(Body))
        return nullptr;
    return reinterpret_cast<const Body*>(message.data() + kHeaderSize);
}

class Socket final {
public:
    // Opens a routing socket; `groups` (RTMGRP_* bits) subscribes to changes.
    [[nodiscard]] static Result<Socket> Open(std::uint32_t groups = 0);

    // Runs a dump request and returns every answer; the system's reason on
    // any failure, an error answer of the kernel included. A dump the kernel
    // marks as interrupted by a change is run again.
    [[nodiscard]] Result<std::vector<Message>> Dump(Request& request);

    // Sends a single request and returns its one answer; the reason on
    // failure, an error answer of the kernel included.
    [[nodiscard]] Result<Message> Ask(Request& request);

    // Sends a request that changes a table, asking for the kernel's
    // acknowledgement; the system's reason when the kernel refuses it.
    [[nodiscard]] Result<void> Command(Request& request);

    // Reads the messages of one datagram the kernel has sent us (after poll
    // said there is one); the reason on failure, such as lost notifications.
    [[nodiscard]] Result<std::vector<Message>> ReadMessages();

    int Descriptor() const { return handle_.Get(); }

private:
    explicit Socket(SocketHandle handle)
        : handle_(std::move(handle))
    {
    }

    [[nodiscard]] Result<void> Send(Request& request, std::uint32_t sequence);
    std::uint32_t NextSequence() { return ++sequence_; }

    SocketHandle handle_;
    std::uint32_t sequence_ = 0;
};

} // namespace pondel::rtnetlink
