#include "FileDescriptor.h"

#include <cerrno>

#include <unistd.h>

namespace pondel {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept
{
    if (this != &other)
        Reset(other.Release());
    return *this;
}

int UniqueFd::Release() noexcept
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void UniqueFd::Reset(int fd) noexcept
{
    if (fd_ >= 0) {
        const int savedErrno = errno;
        ::close(fd_);
        errno = savedErrno;
    }
    fd_ = fd;
}

bool WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace pondel
