#pragma once

#include "PondelApp.h"

namespace pondel {

// The window mode of a build without a window: started without switches,
// the program tells how to use its console command.
[[nodiscard]] CPondelApp::MainWindowRunner MakeWindowRunner(int& argc, char** argv);

} // namespace pondel
