#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "Result.h"

namespace pondel {

// One datagram or frame as it arrived, before anyone looked inside.
struct ReceivedPacket {
    std::span<const std::uint8_t> payload; // valid during the call that hands it over
    bool truncated = false;                // longer than the receiver keeps
    std::string from;                      // "192.0.2.5:40000", "[2001:db8::5]:40000", a MAC
    std::string sender;                    // from without the port: "192.0.2.5", a MAC
    std::string to;                        // the destination address, or the interface
    std::string path;                      // "UDP 9", "EtherType 0x0842"
};

// A port or path that could not be opened: the system's reason, and what
// would let this program open it.
struct ReceiveFailure {
    std::string what; // "UDP 7 (IPv4)", "EtherType 0x0842 frames"
    ErrorInfo error;
    std::string howToAllow;
};

// The sockets a wake listener receives on: UDP on each port over IPv4 and
// IPv6 on every interface, and frames of type 0x0842 on every interface.
// One system version per system (linux/).
class WakeReceiver final {
public:
    struct Opening {
        std::vector<std::string> listening; // "UDP 9 (IPv4)", ...
        std::vector<ReceiveFailure> failures;
    };
    using PacketHandler = std::function<void(const ReceivedPacket&)>;

    // Fails only when the descriptor that interrupts Receive cannot be made.
    [[nodiscard]] static Result<std::unique_ptr<WakeReceiver>> Create();
    ~WakeReceiver();
    WakeReceiver(const WakeReceiver&) = delete;
    WakeReceiver& operator=(const WakeReceiver&) = delete;

    // Opens what it can; does not wait for the network.
    [[nodiscard]] Opening Open(std::span<const std::uint16_t> udpPorts, bool etherFrames);
    [[nodiscard]] bool IsListening() const noexcept;

    // Hands every packet that arrives to the handler, on the calling thread,
    // until Interrupt; returns at once when nothing is open.
    void Receive(const PacketHandler& handler);
    // Ends Receive, from any thread; also before it started.
    void Interrupt() noexcept;

private:
    struct Sockets;
    explicit WakeReceiver(std::unique_ptr<Sockets> sockets);

    std::unique_ptr<Sockets> sockets_;
};

} // namespace pondel
