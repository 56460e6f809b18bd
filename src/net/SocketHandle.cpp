#include "net/SocketHandle.h"

#include <cerrno>

#include <unistd.h>

namespace pondel {

SocketHandle::~SocketHandle()
{
    Reset();
}

SocketHandle& SocketHandle::operator=(SocketHandle&& other) noexcept
{
    if (this != &other)
        Reset(other.Release());
    return *this;
}

int SocketHandle::Release() noexcept
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void SocketHandle::Reset(int fd) noexcept
{
    if (fd_ >= 0) {
        // Callers report the errno of the call that failed, not of the close.
        const int savedErrno = errno;
        ::close(fd_);
        errno = savedErrno;
    }
    fd_ = fd;
}

} // namespace pondel
