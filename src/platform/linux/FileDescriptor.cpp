#include "FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <vector>

#include <sys/uio.h>
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

bool WriteAll(int fd, std::span<const std::string_view> pieces)
{
    // One system call takes at most IOV_MAX pieces.
    std::vector<iovec> batch;
    batch.reserve(std::min<std::size_t>(pieces.size(), IOV_MAX));
    while (!pieces.empty()) {
        batch.clear();
        for (const std::string_view piece : pieces.first(std::min<std::size_t>(pieces.size(), IOV_MAX)))
            batch.push_back({const_cast<char*>(piece.data()), piece.size()});
        pieces = pieces.subspan(batch.size());
        // A short write goes on from where it stopped.
        std::span<iovec> rest(batch);
        while (!rest.empty()) {
            const ssize_t written = ::writev(fd, rest.data(), static_cast<int>(rest.size()));
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return false;
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
    return true;
}

} // namespace pondel
