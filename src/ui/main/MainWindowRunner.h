#pragma once

#include "PondelApp.h"

namespace pondel {

// The window mode for the application object. The Qt application is created
// only when the runner runs, so the console mode never starts Qt. argc and
// argv must outlive the runner.
[[nodiscard]] CPondelApp::MainWindowRunner MakeMainWindowRunner(int& argc, char** argv);

} // namespace pondel
