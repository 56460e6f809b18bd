#include "app/ConsoleOutput.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace pondel {
namespace {

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

// The terminal device, closed when the text is out.
class TerminalDevice final {
public:
    TerminalDevice() : fd_(::open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC)) {}
    ~TerminalDevice()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TerminalDevice(const TerminalDevice&) = delete;
    TerminalDevice& operator=(const TerminalDevice&) = delete;

    int Get() const { return fd_; }

private:
    int fd_;
};

bool IsOpen(int fd)
{
    return fcntl(fd, F_GETFD) != -1;
}

} // namespace

ConsoleResult WriteToConsole(std::string_view text)
{
    if (IsOpen(STDOUT_FILENO)) {
        WriteAll(STDOUT_FILENO, text);
        return kConsoleStdout;
    }
    // The controlling terminal stands in for a console of our own.
    const TerminalDevice terminal;
    if (terminal.Get() < 0)
        return kConsoleUnavailable;
    WriteAll(terminal.Get(), text);
    return kConsoleOpened;
}

} // namespace pondel
