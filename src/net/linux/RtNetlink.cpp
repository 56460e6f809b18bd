#include "RtNetlink.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

#include <sys/socket.h>
#include <sys/time.h>

#include "SystemError.h"

namespace pondel::rtnetlink {
namespace {

// The kernel answers table requests at once; this only guards against a
// socket that never answers at all.
constexpr timeval kReceiveTimeout{2, 0};

// A dump that keeps being interrupted by changes is taken as it came the
// last time rather than failing the whole look-up.
constexpr int kDumpAttempts = 3;

// What the routing socket was doing when the system refused, and why.
ErrorInfo Failure(std::string_view step, int error)
{
    std::string message = "The network configuration cannot be read: ";
    message += step;
    message += ": ";
    message += error != 0 ? GetSystemErrorText(error) : std::string("no answer from the system");
    return ErrorInfo{error, std::move(message)};
}

// The kernel's error answer carries the error number, negated.
ErrorInfo KernelRefusal(const Message& message)
{
    const auto* answer = BodyOf<nlmsgerr>(message);
    const int error = answer != nullptr && answer->error < 0 ? -answer->error : EPROTO;
    return Failure("the kernel refused the request", error);
}

ssize_t ReceiveFromKernel(int fd, void* buffer, std::size_t size, int flags)
{
    for (;;) {
        sockaddr_nl sender{};
        socklen_t senderSize = sizeof sender;
        const ssize_t length =
            recvfrom(fd, buffer, size, flags, reinterpret_cast<sockaddr*>(&sender), &senderSize);
        if (length < 0 && errno == EINTR)
            continue;
        if (length >= 0 && sender.nl_pid != 0) {
            // Not from the kernel: drop it (a peeked one must be consumed).
            if ((flags & MSG_PEEK) != 0)
                recv(fd, buffer, 0, MSG_TRUNC);
            continue;
        }
        return length;
    }
}

} // namespace

const nlmsghdr& Header(const Message& message)
{
    return *reinterpret_cast<const nlmsghdr*>(message.data());
}

std::vector<Message> SplitMessages(std::span<const std::uint8_t> datagram)
{
    std::vector<Message> messages;
    std::size_t offset = 0;
    while (datagram.size() - offset >= sizeof(nlmsghdr)) {
        nlmsghdr header{};
        std::memcpy(&header, datagram.data() + offset, sizeof header);
        if (header.nlmsg_len < sizeof header || header.nlmsg_len > datagram.size() - offset)
            break;
        const auto message = datagram.subspan(offset, header.nlmsg_len);
        messages.emplace_back(message.begin(), message.end());
        // The padding after the last message may be missing.
        offset += std::min<std::size_t>(NLMSG_ALIGN(header.nlmsg_len), datagram.size() - offset);
    }
    return messages;
}

Request::Request(std::uint16_t type, std::uint16_t flags)
    : bytes_(kHeaderSize, 0)
{
    auto* header = reinterpret_cast<nlmsghdr*>(bytes_.data());
    header->nlmsg_type = type;
    header->nlmsg_flags = static_cast<std::uint16_t>(flags | NLM_F_REQUEST);
    header->nlmsg_len = static_cast<std::uint32_t>(bytes_.size());
}

Request& Request::AppendBytes(const void* data, std::size_t size)
{
    const std::size_t start = bytes_.size();
    bytes_.resize(start + NLMSG_ALIGN(size), 0);
    if (size != 0)
        std::memcpy(bytes_.data() + start, data, size);
    reinterpret_cast<nlmsghdr*>(bytes_.data())->nlmsg_len =
        static_cast<std::uint32_t>(bytes_.size());
    return *this;
}

Request& Request::AddAttribute(std::uint16_t type, const void* data, std::size_t size)
{
    rtattr attribute{};
    attribute.rta_type = type;
    attribute.rta_len = static_cast<unsigned short>(kAttributeHeaderSize + size);
    const std::size_t start = bytes_.size();
    bytes_.resize(start + RTA_ALIGN(kAttributeHeaderSize + size), 0);
    std::memcpy(bytes_.data() + start, &attribute, sizeof attribute);
    // An attribute may be a flag without payload, handed in as a null pointer.
    if (size != 0)
        std::memcpy(bytes_.data() + start + kAttributeHeaderSize, data, size);
    reinterpret_cast<nlmsghdr*>(bytes_.data())->nlmsg_len =
        static_cast<std::uint32_t>(bytes_.size());
    return *this;
}

Attributes::Attributes(const Message& message, std::size_t bodySize)
{
    const std::size_t end = std::min<std::size_t>(Header(message).nlmsg_len, message.size());
    std::size_t offset = kHeaderSize + NLMSG_ALIGN(bodySize);
    while (offset + kAttributeHeaderSize <= end) {
        const auto* attribute = reinterpret_cast<const rtattr*>(message.data() + offset);
        if (attribute->rta_len < kAttributeHeaderSize || offset + attribute->rta_len > end)
            break;
        const std::uint16_t type = attribute->rta_type & NLA_TYPE_MASK;
        if (type >= byType_.size())
            byType_.resize(type + 1u, nullptr);
        byType_[type] = attribute;
        offset += RTA_ALIGN(attribute->rta_len);
    }
}

const rtattr* Attributes::Find(std::uint16_t type) const
{
    return type < byType_.size() ? byType_[type] : nullptr;
}

std::size_t Attributes::PayloadSize(std::uint16_t type) const
{
    const rtattr* attribute = Find(type);
    return attribute == nullptr ? 0 : AttributeDataSize(attribute);
}

std::optional<std::uint32_t> Attributes::U32(std::uint16_t type) const
{
    if (PayloadSize(type) < sizeof(std::uint32_t))
        return std::nullopt;
    std::uint32_t value = 0;
    std::memcpy(&value, AttributeData(Find(type)), sizeof value);
    return value;
}

std::optional<std::uint8_t> Attributes::U8(std::uint16_t type) const
{
    if (PayloadSize(type) < 1)
        return std::nullopt;
    return *AttributeData(Find(type));
}

Result<Socket> Socket::Open(std::uint32_t groups)
{
    SocketHandle handle(socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE));
    if (!handle)
        return Failure("socket", errno);
    // Without its time limit a socket that never answers would hang the
    // caller for good, so a socket that refuses one is not used.
    if (setsockopt(
            handle.Get(), SOL_SOCKET, SO_RCVTIMEO, &kReceiveTimeout, sizeof kReceiveTimeout) != 0)
        return Failure("setsockopt", errno);
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    local.nl_groups = groups;
    if (bind(handle.Get(), reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)
        return Failure("bind", errno);
    return Socket(std::move(handle));
}

Result<void> Socket::Send(Request& request, std::uint32_t sequence)
{
    auto& bytes = request.Bytes();
    reinterpret_cast<nlmsghdr*>(bytes.data())->nlmsg_seq = sequence;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    for (;;) {
        const ssize_t sent = sendto(handle_.Get(), bytes.data(), bytes.size(), 0,
            reinterpret_cast<sockaddr*>(&kernel), sizeof kernel);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0)
            return Failure("sendto", errno);
        if (sent != static_cast<ssize_t>(bytes.size()))
            return Failure("sendto", EMSGSIZE);
        return {};
    }
}

Result<std::vector<Message>> Socket::ReadMessages()
{
    // Learn the datagram's size first so that no message is ever cut short.
    std::uint8_t probe = 0;
    const ssize_t size =
        ReceiveFromKernel(handle_.Get(), &probe, sizeof probe, MSG_PEEK | MSG_TRUNC);
    if (size <= 0)
        return Failure("recvfrom", size < 0 ? errno : 0);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size));
    const ssize_t length = ReceiveFromKernel(handle_.Get(), buffer.data(), buffer.size(), 0);
    if (length <= 0)
        return Failure("recvfrom", length < 0 ? errno : 0);

    return SplitMessages(std::span(buffer).first(static_cast<std::size_t>(length)));
}

Result<std::vector<Message>> Socket::Dump(Request& request)
{
    std::vector<Message> answers;
    for (int attempt = 0; attempt < kDumpAttempts; ++attempt) {
        const std::uint32_t sequence = NextSequence();
        if (Result<void> sent = Send(request, sequence); !sent)
            return sent.Error();
        answers.clear();
        bool interrupted = false;
        bool done = false;
        while (!done) {
            Result<std::vector<Message>> batch = ReadMessages();
            if (!batch)
                return batch.Error();
            for (auto& message : batch.Value()) {
                const nlmsghdr& header = Header(message);
                if (header.nlmsg_seq != sequence)
                    continue;
                if ((header.nlmsg_flags & NLM_F_DUMP_INTR) != 0)
                    interrupted = true;
                if (header.nlmsg_type == NLMSG_ERROR)
                    return KernelRefusal(message);
                if (header.nlmsg_type == NLMSG_DONE) {
                    done = true;
                    break;
                }
                answers.push_back(std::move(message));
            }
        }
        if (!interrupted)
            break;
    }
    return answers;
}

Result<Message> Socket::Ask(Request& request)
{
    const std::uint32_t sequence = NextSequence();
    if (Result<void> sent = Send(request, sequence); !sent)
        return sent.Error();
    for (;;) {
        Result<std::vector<Message>> batch = ReadMessages();
        if (!batch)
            return batch.Error();
        for (auto& message : batch.Value()) {
            const nlmsghdr& header = Header(message);
            if (header.nlmsg_seq != sequence)
                continue;
            if (header.nlmsg_type == NLMSG_ERROR)
                return KernelRefusal(message);
            if (header.nlmsg_type == NLMSG_DONE)
                return Failure("the kernel's answer", 0);
            return std::move(message);
        }
    }
}

Result<void> Socket::Command(Request& request)
{
    reinterpret_cast<nlmsghdr*>(request.Bytes().data())->nlmsg_flags |= NLM_F_ACK;
    const std::uint32_t sequence = NextSequence();
    if (Result<void> sent = Send(request, sequence); !sent)
        return sent.Error();
    for (;;) {
        Result<std::vector<Message>> batch = ReadMessages();
        if (!batch)
            return batch.Error();
        for (const auto& message : batch.Value()) {
            if (Header(message).nlmsg_seq != sequence || Header(message).nlmsg_type != NLMSG_ERROR)
                continue;
            // The acknowledgement is an error message with no error in it.
            const auto* answer = BodyOf<nlmsgerr>(message);
            if (answer != nullptr && answer->error == 0)
                return {};
            return KernelRefusal(message);
        }
    }
}

} // namespace pondel::rtnetlink
