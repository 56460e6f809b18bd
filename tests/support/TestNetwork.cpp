#include "TestNetwork.h"

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <fcntl.h>
#include <net/if.h>
#include <linux/audit.h>
#include <linux/capability.h>
#include <linux/filter.h>
#include <linux/if_packet.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ChildProcess.h"

namespace pondel::test {

namespace {

// A veth end passes packets only once the kernel has activated its queue,
// which it does some time after the link comes up; until then the queue
// drops everything, the first ARP request included.
void WaitForLinkReady(const std::string& ns, const std::string& interface)
{
    using namespace std::chrono_literals;
    std::vector<std::string> argv{"ip"};
    if (!ns.empty())
        argv.insert(argv.end(), {"-n", ns});
    argv.insert(argv.end(), {"-o", "link", "show", "dev", interface});
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
        const std::string state = RunCaptured(argv).output;
        if (state.find("state UP") != std::string::npos &&
            state.find("qdisc noop") == std::string::npos)
            return;
        std::this_thread::sleep_for(10ms);
    }
    throw std::runtime_error("link " + interface + " did not come up");
}

} // namespace

void MustRun(const std::vector<std::string>& argv)
{
    std::string line;
    for (const auto& arg : argv)
        line += arg + ' ';
    const int status = RunProgram(argv);
    if (status != 0)
        throw std::runtime_error("command failed (" + std::to_string(status) + "): " + line);
}

TestNetwork::TestNetwork()
    : prefix_("pt")
{
    static std::atomic<int> instances{0};
    prefix_ += std::to_string(getpid());
    prefix_ += 'n';
    prefix_ += std::to_string(instances++);
    MustRun({"ip", "link", "set", "lo", "up"});
}

TestNetwork::~TestNetwork()
{
    for (const auto& peer : peers_) {
        RunProgram({"ip", "link", "del", peer.localIf});
        RunProgram({"ip", "netns", "del", peer.ns});
    }
    for (const auto& ns : emptyNamespaces_)
        RunProgram({"ip", "netns", "del", ns});
}

std::string TestNetwork::AddEmptyNamespace()
{
    emptyNamespaces_.push_back(NewName("ne"));
    MustRun({"ip", "netns", "add", emptyNamespaces_.back()});
    return emptyNamespaces_.back();
}

std::string TestNetwork::NewName(const char* kind)
{
    // Interface names are limited to 15 characters.
    std::string name = kind + std::to_string(counter_++) + prefix_;
    return name.substr(0, 15);
}

void TestNetwork::SkipIpv6Dad()
{
    skipIpv6Dad_ = true;
    WriteSysctl("", "net/ipv6/conf/default/accept_dad", "0");
}

const Peer& TestNetwork::AddPeer(const LinkEnd& local, const LinkEnd& remote)
{
    const Peer peer{NewName("ns"), NewName("va"), NewName("vb")};
    MustRun({"ip", "netns", "add", peer.ns});
    peers_.push_back(peer);
    // Before the link moves in, so that it is made with the setting.
    if (skipIpv6Dad_)
        WriteSysctl(peer.ns, "net/ipv6/conf/default/accept_dad", "0");
    MustRun({"ip", "link", "add", peer.localIf, "type", "veth", "peer", "name", peer.peerIf});
    MustRun({"ip", "link", "set", peer.peerIf, "netns", peer.ns});
    if (!local.mac.empty())
        MustRun({"ip", "link", "set", peer.localIf, "address", local.mac});
    MustRun({"ip", "addr", "add", local.ip + "/" + std::to_string(local.prefixLength), "dev",
        peer.localIf});
    MustRun({"ip", "link", "set", peer.localIf, "up"});

    RunIn(peer.ns, {"link", "set", "lo", "up"});
    if (!remote.mac.empty())
        RunIn(peer.ns, {"link", "set", peer.peerIf, "address", remote.mac});
    RunIn(peer.ns,
        {"addr", "add", remote.ip + "/" + std::to_string(remote.prefixLength), "dev", peer.peerIf});
    RunIn(peer.ns, {"link", "set", peer.peerIf, "up"});
    WaitForLinkReady("", peer.localIf);
    WaitForLinkReady(peer.ns, peer.peerIf);
    return peers_.back();
}

void TestNetwork::RunIn(const std::string& ns, const std::vector<std::string>& command)
{
    std::vector<std::string> argv{"ip", "-n", ns};
    argv.insert(argv.end(), command.begin(), command.end());
    MustRun(argv);
}

int RunInNamespace(const std::string& ns, const std::function<int()>& fn)
{
    int result = -1;
    std::string error;
    std::thread worker([&] {
        if (!ns.empty()) {
            const std::string path = "/run/netns/" + ns;
            const int nsFd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (nsFd < 0 || setns(nsFd, CLONE_NEWNET) != 0) {
                error = "cannot join namespace " + ns + ": " + std::strerror(errno);
                if (nsFd >= 0)
                    close(nsFd);
                return;
            }
            close(nsFd);
        }
        result = fn();
    });
    worker.join();
    if (!error.empty())
        throw std::runtime_error(error);
    return result;
}

void WriteSysctl(const std::string& ns, const std::string& key, const std::string& value)
{
    // /proc/sys/net belongs to the namespace of the thread that opens it.
    const int ok = RunInNamespace(ns, [&] {
        std::ofstream file("/proc/sys/" + key);
        file << value << '\n';
        file.flush();
        return file.good() ? 1 : 0;
    });
    if (ok != 1)
        throw std::runtime_error("cannot write sysctl " + key);
}

DatagramSink::DatagramSink(const std::string& ns, std::uint16_t port, int family)
    : fd_(RunInNamespace(ns, [family] { return socket(family, SOCK_DGRAM | SOCK_CLOEXEC, 0); }))
{
    if (fd_ < 0)
        throw std::runtime_error("cannot open the datagram sink");
    const int on = 1;
    setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    setsockopt(fd_, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    sockaddr_storage address{};
    socklen_t size = 0;
    if (family == AF_INET6) {
        // Beside an IPv4 sink on the same port.
        setsockopt(fd_, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on);
        setsockopt(fd_, IPPROTO_IPV6, IPV6_RECVPKTINFO, &on, sizeof on);
        auto& ipv6 = reinterpret_cast<sockaddr_in6&>(address);
        ipv6.sin6_family = AF_INET6;
        ipv6.sin6_port = htons(port);
        size = sizeof ipv6;
    } else {
        setsockopt(fd_, IPPROTO_IP, IP_PKTINFO, &on, sizeof on);
        auto& ipv4 = reinterpret_cast<sockaddr_in&>(address);
        ipv4.sin_family = AF_INET;
        ipv4.sin_port = htons(port);
        ipv4.sin_addr.s_addr = htonl(INADDR_ANY);
        size = sizeof ipv4;
    }
    if (bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0) {
        close(fd_);
        throw std::runtime_error(
            std::string("cannot bind the datagram sink: ") + std::strerror(errno));
    }
}

DatagramSink::DatagramSink(
    const std::string& ns, const std::string& interface, std::uint16_t etherType)
{
    sockaddr_ll address{};
    address.sll_family = AF_PACKET;
    address.sll_protocol = htons(etherType);
    fd_ = RunInNamespace(ns, [&] {
        address.sll_ifindex = static_cast<int>(if_nametoindex(interface.c_str()));
        return socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC, htons(etherType));
    });
    const int on = 1;
    if (fd_ < 0 || address.sll_ifindex == 0 ||
        setsockopt(fd_, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on) != 0 ||
        bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (fd_ >= 0)
            close(fd_);
        throw std::runtime_error("cannot open the frame sink on " + interface);
    }
}

DatagramSink::~DatagramSink()
{
    if (fd_ >= 0)
        close(fd_);
}

std::optional<Datagram> DatagramSink::Receive(std::chrono::milliseconds wait)
{
    pollfd ready{fd_, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(wait.count())) <= 0)
        return std::nullopt;

    std::uint8_t buffer[2048];
    alignas(cmsghdr) char control[256];
    iovec vector{buffer, sizeof buffer};
    sockaddr_storage sender{};
    msghdr message{};
    message.msg_name = &sender;
    message.msg_namelen = sizeof sender;
    message.msg_iov = &vector;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t length = recvmsg(fd_, &message, 0);
    if (length < 0)
        return std::nullopt;

    Datagram datagram;
    datagram.arrival = std::chrono::system_clock::now();
    datagram.payload.assign(buffer, buffer + length);
    char text[INET6_ADDRSTRLEN] = {};
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
         header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level == IPPROTO_IP && header->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(header), sizeof info);
            datagram.destinationIp = inet_ntop(AF_INET, &info.ipi_addr, text, sizeof text);
        } else if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SCM_TIMESTAMPNS) {
            timespec time{};
            std::memcpy(&time, CMSG_DATA(header), sizeof time);
            datagram.arrival = std::chrono::system_clock::time_point(
                std::chrono::duration_cast<std::chrono::system_clock::duration>(
                    std::chrono::seconds(time.tv_sec) + std::chrono::nanoseconds(time.tv_nsec)));
        } else if (header->cmsg_level == IPPROTO_IPV6 && header->cmsg_type == IPV6_PKTINFO) {
            in6_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(header), sizeof info);
            datagram.destinationIp = inet_ntop(AF_INET6, &info.ipi6_addr, text, sizeof text);
        }
    }
    if (sender.ss_family == AF_PACKET &&
        reinterpret_cast<const sockaddr_ll&>(sender).sll_pkttype == PACKET_BROADCAST)
        datagram.destinationIp = "ff:ff:ff:ff:ff:ff";
    return datagram;
}

std::vector<Datagram> DatagramSink::ReceiveAll(
    std::chrono::milliseconds quiet, std::chrono::milliseconds first)
{
    std::vector<Datagram> all;
    for (auto datagram = Receive(first); datagram; datagram = Receive(quiet))
        all.push_back(std::move(*datagram));
    return all;
}

namespace {

// Runs fn on a new thread after `prepare` has succeeded there; a failed
// preparation fails the helper, not the code under test.
int RunOnPreparedThread(
    const char* what, const std::function<bool()>& prepare, const std::function<int()>& fn)
{
    int result = -1;
    bool prepared = false;
    std::thread worker([&] {
        prepared = prepare();
        if (prepared)
            result = fn();
    });
    worker.join();
    if (!prepared)
        throw std::runtime_error(std::string("cannot prepare the thread: ") + what);
    return result;
}

// Installs a seccomp filter on the calling thread under which socket()
// fails with EACCES: every call, or only those for one address family.
bool DenySocketsOnThisThread(std::optional<int> family)
{
    constexpr auto kArchOffset = static_cast<std::uint32_t>(offsetof(seccomp_data, arch));
    constexpr auto kCallOffset = static_cast<std::uint32_t>(offsetof(seccomp_data, nr));
    // The family is socket()'s first argument; its low half is enough.
    constexpr auto kFamilyOffset = static_cast<std::uint32_t>(offsetof(seccomp_data, args));
#if defined(__x86_64__)
    constexpr std::uint32_t kArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
    constexpr std::uint32_t kArch = AUDIT_ARCH_AARCH64;
#else
#error "add this architecture's audit value"
#endif
    const auto skipToAllow = static_cast<std::uint8_t>(family ? 3 : 1);
    std::vector<sock_filter> program{
        {BPF_LD | BPF_W | BPF_ABS, 0, 0, kArchOffset},
        {BPF_JMP | BPF_JEQ | BPF_K, 1, 0, kArch},
        {BPF_RET | BPF_K, 0, 0, SECCOMP_RET_ALLOW},
        {BPF_LD | BPF_W | BPF_ABS, 0, 0, kCallOffset},
        {BPF_JMP | BPF_JEQ | BPF_K, 0, skipToAllow, static_cast<std::uint32_t>(SYS_socket)},
    };
    if (family) {
        program.push_back({BPF_LD | BPF_W | BPF_ABS, 0, 0, kFamilyOffset});
        program.push_back({BPF_JMP | BPF_JEQ | BPF_K, 0, 1, static_cast<std::uint32_t>(*family)});
    }
    program.push_back({BPF_RET | BPF_K, 0, 0, SECCOMP_RET_ERRNO | (EACCES & SECCOMP_RET_DATA)});
    program.push_back({BPF_RET | BPF_K, 0, 0, SECCOMP_RET_ALLOW});
    sock_fprog filter{static_cast<unsigned short>(program.size()), program.data()};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
        prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) == 0;
}

} // namespace

int RunWithSocketsDenied(const std::function<int()>& fn, std::optional<int> family)
{
    return RunOnPreparedThread(
        "socket filter", [family] { return DenySocketsOnThisThread(family); }, fn);
}

int RunWithoutCapability(int capability, const std::function<int()>& fn)
{
    return RunOnPreparedThread(
        "capability drop",
        [capability] {
            // capset acts on the calling thread only.
            __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
            __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
            if (syscall(SYS_capget, &header, data) != 0)
                return false;
            const auto bit = 1u << (capability % 32);
            data[capability / 32].effective &= ~bit;
            data[capability / 32].permitted &= ~bit;
            return syscall(SYS_capset, &header, data) == 0;
        },
        fn);
}

int CountOpenDescriptors()
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

int RunAsUser(unsigned int id, const std::function<int()>& fn)
{
    return RunOnPreparedThread(
        "user switch",
        [id] {
            // The raw system calls change this thread only; glibc's wrappers
            // would change every thread of the process.
            return syscall(SYS_setgroups, 0, nullptr) == 0 &&
                syscall(SYS_setresgid, id, id, id) == 0 && syscall(SYS_setresuid, id, id, id) == 0;
        },
        fn);
}

int RunWithHostName(
    const std::string& hostName, const std::string& hostsFile, const std::function<int()>& fn)
{
    const std::string path =
        "/tmp/pondel-hosts-" + std::to_string(getpid()) + "-" + std::to_string(syscall(SYS_gettid));
    {
        std::ofstream file(path);
        file << hostsFile;
        if (!file.good())
            throw std::runtime_error("cannot write " + path);
    }
    const int result = RunOnPreparedThread(
        "host name",
        [&] {
            return unshare(CLONE_NEWNS | CLONE_NEWUTS) == 0 &&
                mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                mount(path.c_str(), "/etc/hosts", nullptr, MS_BIND, nullptr) == 0 &&
                sethostname(hostName.data(), hostName.size()) == 0;
        },
        fn);
    std::filesystem::remove(path);
    return result;
}

} // namespace pondel::test
