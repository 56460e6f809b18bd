#include "WindowLauncher.h"

#include "ConsoleCommands.h"

namespace pondel {

int LaunchWindow(int& /*argc*/, char** /*argv*/)
{
    static_cast<void>(ShowUsage());
    return 0;
}

} // namespace pondel
