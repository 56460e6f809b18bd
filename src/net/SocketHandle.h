#pragma once

namespace pondel {

// Owns one socket or file descriptor and closes it when it goes.
class SocketHandle final {
public:
    SocketHandle() noexcept = default;
    explicit SocketHandle(int fd) noexcept : fd_(fd) {}
    ~SocketHandle();

    SocketHandle(SocketHandle&& other) noexcept : fd_(other.Release()) {}
    SocketHandle& operator=(SocketHandle&& other) noexcept;
    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;

    int Get() const noexcept { return fd_; }
    bool IsValid() const noexcept { return fd_ >= 0; }
    explicit operator bool() const noexcept { return IsValid(); }

    // Gives up ownership; the caller closes the descriptor.
    int Release() noexcept;
    void Reset(int fd = -1) noexcept;

private:
    int fd_ = -1;
};

} // namespace pondel
