#include "FileDescriptor.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>

#include <sys/uio.h>
#include <unistd.h>

#include "SystemError.h"

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

Result<void> WriteAll(int fd, std::string_view text)
{
    return WriteAll(fd, std::span(&text, 1));
}

Result<void> WriteAll(int fd, std::span<const std::string_view> pieces)
{
    // A few hundred pieces to a system call, which takes at most IOV_MAX.
    std::array<iovec, std::min(256, IOV_MAX)> batch;
    while (!pieces.empty()) {
        const std::size_t count = std::min(pieces.size(), batch.size());
        for (std::size_t i = 0; i < count; ++i)
            batch[i] = {const_cast<char*>(pieces[i].data()), pieces[i].size()};
        pieces = pieces.subspan(count);
        // A short write goes on from where it stopped.
        std::span<iovec> rest(batch.data(), count);
        while (!rest.empty()) {
            const ssize_t written = ::writev(fd, rest.data(), static_cast<int>(rest.size()));
            if (written < 0) {
                const int error = errno;
                if (error == EINTR)
                    continue;
                return ErrorInfo{error, "write failed: " + GetSystemErrorText(error)};
            }
            auto left = static_cast<std::size_t>(written);
            while (!rest.empty() && left >= rest.front().iov_len) {
                left -= rest.front().iov_len;
                rest = rest.subspan(1);
            }
            if (left > 0) {
                rest.front().iov_base = static_cast<char*>(rest.front().iov_base) + left;
                rest.front().iov_len -= left;
            }
        }
    }
    return {};
}

} // namespace pondel
