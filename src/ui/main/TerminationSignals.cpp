#include "TerminationSignals.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <stdexcept>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

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
        (void)::write(fd, &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent)
    : QObject(parent)
{
    int fds[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds) != 0)
        throw std::runtime_error("socketpair failed");
    readFd_ = fds[0];
    writeFd_ = fds[1];
    gWakeFd = writeFd_;
    notifier_ = new QSocketNotifier(readFd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::Drain);

    struct sigaction action { };
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &action, &gPrevious[i]);
}

TerminationSignals::~TerminationSignals()
{
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &gPrevious[i], nullptr);
    gWakeFd = -1;
    delete notifier_;
    ::close(readFd_);
    ::close(writeFd_);
}

void TerminationSignals::Drain()
{
    char buffer[64];
    while (::read(readFd_, buffer, sizeof buffer) > 0) { }
    emit Requested();
}

} // namespace pondel
