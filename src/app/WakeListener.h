#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "MacAddress.h"
#include "Result.h"

namespace pondel {

class VendorDirectory;

// What the listener opens: UDP on each port over IPv4 and IPv6 on all
// interfaces, and a packet socket for EtherType 0x0842 frames.
struct ListenOptions {
    std::vector<std::uint16_t> udpPorts; // 7, 9, PORT_NO and the extra ports, without repeats
    bool etherFrames = true;
};

// The ports of ListenOptions from the settings: 7, 9, PORT_NO, then
// WAKE_EXTRA_PORTS, each once, in that order.
struct AppSettings;
[[nodiscard]] ListenOptions ListenOptionsOf(const AppSettings& settings);

// A host of the list, as the listener matches a packet's target against it.
struct ListenedHost {
    MacAddress mac{};
    std::string hostName;
};

// The hosts of the list whose MAC address reads, in the list's order.
class HostList;
[[nodiscard]] std::vector<ListenedHost> ListenedHostsOf(const HostList& hosts);

// One line of what arrived. Identical packets (same sender address, to,
// path, target and SecureOn presence; the sender's port may differ) within a
// second of the line's first are counted on it instead of making a line of
// their own.
struct HeardWakePacket {
    std::uint64_t line = 0; // numbers lines from 1; an update repeats the number
    std::chrono::system_clock::time_point time;
    std::string from;      // "192.0.2.5:40000", "[2001:db8::5]:40000", or a MAC for a frame
    std::string to;        // the destination address, or the interface for a frame
    std::string path;      // "UDP 9", "EtherType 0x0842"
    std::string targetMac; // canonical form
    std::string vendor;    // of the target MAC's block; empty when unknown
    std::string hostName;  // the list's host with that MAC; empty when none
    bool secureOn = false; // a password followed the copies (never shown)
    std::uint32_t repeats = 1;
};

// A port or path the listener could not open, with the system's reason and
// what would allow it.
struct ListenFailure {
    std::string what;       // "UDP 7 (IPv4)", "EtherType 0x0842 frames"
    ErrorInfo error;        // the system's reason
    std::string howToAllow; // run as root, setcap, net.ipv4.ip_unprivileged_port_start
};

// One line for the user: the reason, then what would allow it.
[[nodiscard]] std::string ListenFailureText(const ListenFailure& failure);

// What the listener tells; the calls come on its own thread, one at a time,
// and must not block.
class WakeListenerEvents {
public:
    virtual ~WakeListenerEvents() = default;
    // A new line (repeats 1), or a line whose repeat count grew.
    virtual void OnWakePacket(const HeardWakePacket& packet) = 0;
    // Something arrived on a listened path that is not a wake packet; the
    // count since the start.
    virtual void OnNotWakePacket(std::uint64_t count) = 0;
};

// Receives on everything it could open, off the caller's thread, until
// Stop or destruction. Opening happens in Start, which does not wait for the
// network: binding and opening sockets is immediate.
class WakeListener final {
public:
    struct Opened {
        std::vector<std::string> listening; // "UDP 9 (IPv4)", ...
        std::vector<ListenFailure> failures;
    };

    // Vendors come from the registry's usual folder.
    WakeListener(WakeListenerEvents& events, std::vector<ListenedHost> hosts);
    // Vendors come from the caller's directory, which must outlive the
    // listener; it is asked from the listener's thread.
    WakeListener(
        WakeListenerEvents& events, std::vector<ListenedHost> hosts, VendorDirectory& vendors);
    ~WakeListener();
    WakeListener(const WakeListener&) = delete;
    WakeListener& operator=(const WakeListener&) = delete;

    // Opens what it can and starts receiving; an error only when nothing at
    // all could be opened, whose text names every failure. A listener that
    // runs is stopped first; line numbers start again from 1.
    [[nodiscard]] Result<Opened> Start(const ListenOptions& options);
    // Returns once the receiving thread has ended, so no event comes after
    // it. Never call it from an event.
    void Stop();
    // Replaces the hosts that targets are matched against, for the packets
    // that come from now on (the list was edited, say). Any thread may call
    // it, an event too; it waits for no packet.
    void SetHosts(const std::vector<ListenedHost>& hosts);

private:
    struct State;
    struct HostNames;
    WakeListenerEvents& events_;
    // Shared with the receiving thread.
    std::shared_ptr<HostNames> hostNames_;
    std::unique_ptr<VendorDirectory> ownVendors_; // when the caller gave none
    VendorDirectory& vendors_;
    std::unique_ptr<State> state_;
};

} // namespace pondel
