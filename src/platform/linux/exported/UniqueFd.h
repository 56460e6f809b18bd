#pragma once

namespace pondel {

// Owns one file descriptor and closes it when it goes. Closing leaves errno
// alone, so callers can still report the call that failed.
class UniqueFd final {
public:
    UniqueFd() noexcept = default;
    explicit UniqueFd(int fd) noexcept
        : fd_(fd)
    {
    }
    ~UniqueFd() { Reset(); }

    UniqueFd(UniqueFd&& other) noexcept
        : fd_(other.Release())
    {
    }
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const noexcept { return fd_; }
    bool IsValid() const noexcept { return fd_ >= 0; }
    explicit operator bool() const noexcept { return IsValid(); }

    [[nodiscard]] int Release() noexcept;
    void Reset(int fd = -1) noexcept;

private:
    int fd_ = -1;
};

} // namespace pondel
