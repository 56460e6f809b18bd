#pragma once

#include "PondelApp.h"

namespace pondel {

// The window mode of the executable. With the window built, it loads the
// window module, found beside the executable or where the installation puts
// it; a module that cannot be loaded is reported on the console and ends the
// program with an error. Without it, started without switches, the program
// tells how to use its console command. argc and argv must outlive the
// runner.
[[nodiscard]] CPondelApp::MainWindowRunner MakeWindowRunner(int& argc, char** argv);

} // namespace pondel
