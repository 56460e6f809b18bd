#include <string>
#include <utility>
#include <vector>

#include "ConsoleMode.h"
#include "PondelApp.h"
#include "WindowLauncher.h"

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    // The window reads the settings in its own module, so the executable
    // reads them only for a console command.
    if (pondel::OpensWindow(arguments))
        return pondel::LaunchWindow(argc, argv);
    pondel::CPondelApp app(std::move(arguments), nullptr);
    app.InitInstance();
    return app.ExitInstance();
}
