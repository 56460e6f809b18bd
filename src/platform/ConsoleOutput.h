#pragma once

#include <string_view>

namespace pondel {

// How a console text reached the user.
enum ConsoleResult : int {
    kConsoleOpened = 2,       // standard output was closed; the terminal was opened
    kConsoleStdout = 3,       // printed on the standard output the caller gave us
    kConsoleUnavailable = -2, // neither was there, or writing failed: the text did not arrive
};

// Prints text on standard output when it is open (redirected to a file or a
// pipe, say), otherwise on the terminal the program runs from.
[[nodiscard]] ConsoleResult WriteToConsole(std::string_view text);

// Whether standard output is a terminal, where a line may be rewritten in
// place to show progress.
[[nodiscard]] bool StandardOutputIsTerminal() noexcept;

} // namespace pondel
