#include "ConsoleOutput.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

#include "FileDescriptor.h"

namespace pondel {
namespace {

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
    const UniqueFd terminal(::open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (!terminal)
        return kConsoleUnavailable;
    WriteAll(terminal.Get(), text);
    return kConsoleOpened;
}

} // namespace pondel
