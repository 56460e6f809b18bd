#include "TerminationRequests.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <utility>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "SystemError.h"

namespace pondel {
namespace {

constexpr std::array kSignals{SIGTERM, SIGINT};

// A signal handler can reach nothing but a static; it only writes one byte.
std::atomic<int> gWakeFd{-1};
std::array<struct sigaction, kSignals.size()> gPrevious{};

extern "C" void OnTerminationSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    if (const int fd = gWakeFd.load(); fd >= 0)
        static_cast<void>(::write(fd, &byte, 1));
    errno = savedErrno;
}

} // namespace

Result<std::unique_ptr<TerminationRequests>> TerminationRequests::Catch()
{
    int fds[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds) != 0) {
        const int error = errno;
        return ErrorInfo{error,
            "Termination signals cannot be caught: socketpair failed: " +
                GetSystemErrorText(error)};
    }
    return std::unique_ptr<TerminationRequests>(
        new TerminationRequests(SocketHandle(fds[0]), SocketHandle(fds[1])));
}

TerminationRequests::TerminationRequests(SocketHandle readEnd, SocketHandle writeEnd)
    : readEnd_(std::move(readEnd))
    , writeEnd_(std::move(writeEnd))
{
    gWakeFd = writeEnd_.Get();
    struct sigaction action { };
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &action, &gPrevious[i]);
}

TerminationRequests::~TerminationRequests()
{
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &gPrevious[i], nullptr);
    gWakeFd = -1;
}

void TerminationRequests::Drain()
{
    char buffer[64];
    while (::read(readEnd_.Get(), buffer, sizeof buffer) > 0) { }
}

bool TerminationRequests::WaitFor(std::chrono::milliseconds timeout) const
{
    pollfd polled{readEnd_.Get(), POLLIN, 0};
    const auto milliseconds = static_cast<int>(std::min<std::chrono::milliseconds::rep>(
        std::max<std::chrono::milliseconds::rep>(timeout.count(), 0), 1 << 30));
    if (::poll(&polled, 1, milliseconds) > 0)
        return true;
    // A signal that cut the wait short has written its byte by now.
    return ::poll(&polled, 1, 0) > 0;
}

} // namespace pondel
