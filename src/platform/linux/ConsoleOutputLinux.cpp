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
    // A write that fails (a full disk, a closed pipe) reached no one, and
    // says so as a console that could not be opened does.
    if (IsOpen(STDOUT_FILENO))
        return WriteAll(STDOUT_FILENO, text).Ok() ? kConsoleStdout : kConsoleUnavailable;
    // The controlling terminal stands in for a console of our own.
    const UniqueFd terminal(::open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (!terminal)
        return kConsoleUnavailable;
    return WriteAll(terminal.Get(), text).Ok() ? kConsoleOpened : kConsoleUnavailable;
}

bool StandardOutputIsTerminal() noexcept
{
    return ::isatty(STDOUT_FILENO) == 1;
}

} // namespace pondel
