#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <sys/socket.h>

#include "ChildProcess.h"

namespace pondel::test {

// Runs a program with an argument vector and throws when it fails.
void MustRun(const std::vector<std::string>& argv);

// One end of a veth pair: "198.51.100.1", 24, "02:00:00:00:00:01" (no MAC:
// the kernel's).
struct LinkEnd {
    std::string ip;
    int prefixLength = 24;
    std::string mac;
};

struct Peer {
    std::string ns;      // the peer's network namespace
    std::string localIf; // the interface on our side
    std::string peerIf;  // the interface inside the peer namespace
};

// Builds small networks inside the test process's own network namespace,
// which must already be a private one (see NetworkTestMain.cpp): each peer
// is a further namespace joined to ours by a veth pair. Everything it made
// is torn down with it.
class TestNetwork final {
public:
    TestNetwork();
    ~TestNetwork();
    TestNetwork(const TestNetwork&) = delete;
    TestNetwork& operator=(const TestNetwork&) = delete;

    // Both ends are up and addressed when it returns.
    const Peer& AddPeer(const LinkEnd& local, const LinkEnd& remote);
    // Interfaces made from now on, here and in new peers, take their IPv6
    // link-local addresses at once instead of after duplicate address
    // detection, so that a test can send to ff02::1 straight away.
    void SkipIpv6Dad();
    // A namespace with nothing in it, not even a loopback that is up.
    std::string AddEmptyNamespace();

    // Runs `ip` with the given arguments inside a peer namespace.
    static void RunIn(const std::string& ns, const std::vector<std::string>& command);

private:
    std::string NewName(const char* kind);

    std::string prefix_;
    int counter_ = 0;
    bool skipIpv6Dad_ = false;
    std::deque<Peer> peers_;
    std::vector<std::string> emptyNamespaces_;
};

// Calls fn on a thread that has joined the named network namespace (empty
// name: our own), and returns what fn returned. Its sockets stay there.
int RunInNamespace(const std::string& ns, const std::function<int()>& fn);

// Writes a sysctl of a namespace, such as "net/ipv4/ping_group_range".
void WriteSysctl(const std::string& ns, const std::string& key, const std::string& value);

struct Datagram {
    std::vector<std::uint8_t> payload;
    // As the receiving kernel saw it: an address for a datagram, for a frame
    // "ff:ff:ff:ff:ff:ff" when it went to the link's broadcast address.
    std::string destinationIp;
    std::chrono::system_clock::time_point arrival; // the kernel's time of receipt
};

// A UDP port (IPv4, or IPv6 alone with AF_INET6) that records the datagrams
// arriving in one namespace; or, given an interface and an EtherType, the
// payloads of the frames of that type arriving on the interface.
class DatagramSink final {
public:
    DatagramSink(const std::string& ns, std::uint16_t port, int family = AF_INET);
    DatagramSink(const std::string& ns, const std::string& interface, std::uint16_t etherType);
    ~DatagramSink();
    DatagramSink(const DatagramSink&) = delete;
    DatagramSink& operator=(const DatagramSink&) = delete;

    // The next datagram, or none when nothing arrives within the wait.
    std::optional<Datagram> Receive(std::chrono::milliseconds wait);
    // Every datagram that arrives: the first within `first` (room for the
    // sender's address resolution on a loaded machine), the next ones until
    // the line has been quiet for `quiet`.
    std::vector<Datagram> ReceiveAll(
        std::chrono::milliseconds quiet, std::chrono::milliseconds first = std::chrono::seconds(2));

private:
    int fd_ = -1;
};

// These run fn on a thread of its own that is changed as said; the rest of
// the process keeps its rights.
//
// socket() fails with EACCES there, for every address family or for one only
// (AF_INET, say, so that a code path can still read the system's tables).
int RunWithSocketsDenied(const std::function<int()>& fn, std::optional<int> family = std::nullopt);
// One capability (such as CAP_NET_RAW) is given up.
int RunWithoutCapability(int capability, const std::function<int()>& fn);
// The user and group ids are all `id` (65534 is nobody), with no capability.
int RunAsUser(unsigned int id, const std::function<int()>& fn);
// This computer's name is `hostName` and /etc/hosts holds `hostsFile`.
int RunWithHostName(
    const std::string& hostName, const std::string& hostsFile, const std::function<int()>& fn);

// Counts the descriptors this process has open.
int CountOpenDescriptors();

} // namespace pondel::test
