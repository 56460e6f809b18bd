#pragma once

namespace pondel {

// The window mode of the executable, for a command line that opens the
// window. With the window built, it loads the window module, found beside
// the executable or where the installation puts it, and hands it the
// command line; the module reads the settings and runs the window with an
// application object of its own. A module that cannot be loaded is
// reported on the console and ends the program with an error. Without the
// window, the program tells how to use its console command. Returns the
// process's exit code.
[[nodiscard]] int LaunchWindow(int& argc, char** argv);

} // namespace pondel
