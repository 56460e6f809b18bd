#include "WindowRunner.h"

#include "ConsoleCommands.h"

namespace pondel {

CPondelApp::MainWindowRunner MakeWindowRunner(int& /*argc*/, char** /*argv*/)
{
    return [](CPondelApp&) {
        static_cast<void>(ShowUsage());
        return 0;
    };
}

} // namespace pondel
