#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <netinet/in.h>

#include "ChildProcess.h"

namespace pondel::test {

// Runs a program with an argument vector and throws when it fails.
void MustRun(const std::vector<std::string>& argv);

// One end of a veth pair.
struct LinkEnd {
    std::string ip; // dotted decimal, e.g. "198.51.100.1"
    int prefixLength = 24;
    std::string mac; // "02:00:00:00:00:01"
};

struct Peer {
    std::string ns;      // the peer's network namespace
    std::string localIf; // the interface on our side
    std::string peerIf;  // the interface inside the peer namespace
    LinkEnd local;
    LinkEnd remote;
};

// Builds small networks inside the test process's own network namespace:
// each peer is a further namespace joined to ours by a veth pair with known
// addresses. Everything it made is torn down with it.
//
// The test process must already be in a private namespace (see
// NetworkTestMain.cpp): nothing here ever touches the machine's real network.
class TestNetwork final {
public:
    TestNetwork();
    ~TestNetwork();
    TestNetwork(const TestNetwork&) = delete;
    TestNetwork& operator=(const TestNetwork&) = delete;

    // Adds a peer namespace connected by a new veth pair; both ends are up
    // and addressed when it returns.
    const Peer& AddPeer(const LinkEnd& local, const LinkEnd& remote);

    // Runs `ip` with the given arguments inside a peer namespace.
    static void RunIn(const std::string& ns, const std::vector<std::string>& command);

    const std::vector<Peer>& Peers() const { return peers_; }

private:
    std::string NewName(const char* kind);

    std::string prefix_;
    int counter_ = 0;
    std::vector<Peer> peers_;
};

// Calls fn on a thread that has joined the named network namespace, and
// returns what fn returned. Sockets made by fn stay in that namespace.
int RunInNamespace(const std::string& ns, const std::function<int()>& fn);

// Opens a socket inside the named namespace (empty name: our own).
int OpenSocketIn(const std::string& ns, int domain, int type, int protocol);

// Writes a sysctl of the calling thread's network namespace, such as
// "net/ipv4/ping_group_range".
void WriteSysctl(const std::string& ns, const std::string& key, const std::string& value);

struct Datagram {
    std::vector<std::uint8_t> payload;
    std::string sourceIp;
    std::string destinationIp; // as the receiving kernel saw it
};

// A UDP port that records the datagrams arriving in one namespace.
class DatagramSink final {
public:
    DatagramSink(const std::string& ns, std::uint16_t port);
    ~DatagramSink();
    DatagramSink(const DatagramSink&) = delete;
    DatagramSink& operator=(const DatagramSink&) = delete;

    // The next datagram, or none when nothing arrives within the wait.
    std::optional<Datagram> Receive(std::chrono::milliseconds wait);
    // Every datagram that arrives: the first within `first` (room for the
    // sender's address resolution on a loaded machine), the next ones until
    // the line has been quiet for `quiet`.
    std::vector<Datagram> ReceiveAll(std::chrono::milliseconds quiet,
                                     std::chrono::milliseconds first = std::chrono::seconds(2));

private:
    int fd_ = -1;
};

// Runs fn on a thread where socket() fails with EACCES, for every address
// family or for one only (such as AF_INET, so a code path can still read the
// system's tables over netlink while it cannot send).
int RunWithSocketsDenied(const std::function<int()>& fn, std::optional<int> family = std::nullopt);

// Runs fn on a thread that has given up one capability (such as
// CAP_NET_RAW) from its effective and permitted sets; other threads keep it.
int RunWithoutCapability(int capability, const std::function<int()>& fn);

// Counts the descriptors this process has open.
int CountOpenDescriptors();

// Runs fn on a thread whose user and group ids are all `id` (65534 is
// nobody), which also drops every capability. The rest of the process keeps
// its rights.
int RunAsUser(unsigned int id, const std::function<int()>& fn);

// Runs fn on a thread that sees `hostName` as this computer's name and
// `hostsFile` as the contents of /etc/hosts (private UTS and mount
// namespaces of its own), so that resolver answers can be chosen.
int RunWithHostName(
    const std::string& hostName, const std::string& hostsFile, const std::function<int()>& fn);

// A network namespace with nothing in it, not even a loopback that is up.
// It is deleted with the object.
class EmptyNamespace final {
public:
    EmptyNamespace();
    ~EmptyNamespace();
    EmptyNamespace(const EmptyNamespace&) = delete;
    EmptyNamespace& operator=(const EmptyNamespace&) = delete;

    const std::string& Name() const { return name_; }

private:
    std::string name_;
};

} // namespace pondel::test
