#include <cstdio>
#include <exception>
#include <string>
#include <type_traits>
#include <vector>

#include "MainWindowRunner.h"
#include "PondelApp.h"
#include "WindowModuleEntry.h"
#include "pondel_window_export.h"

// The one symbol the window module shows the executable.
extern "C" PONDEL_WINDOW_EXPORT int PondelRunMainWindow(int* argc, char** argv)
{
    // The executable has a C++ runtime of its own, so nothing is thrown
    // across: an error the window did not handle ends the program here.
    try {
        pondel::CPondelApp app(std::vector<std::string>(argv + 1, argv + *argc),
            pondel::MakeMainWindowRunner(*argc, argv));
        app.InitInstance();
        return app.ExitInstance();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "The window ended on an unexpected error: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "The window ended on an unexpected error.\n");
    }
    return 1;
}

// The executable looks the entry up by this name and calls it through this
// type; a change to either must show here.
static_assert(std::is_same_v<decltype(PondelRunMainWindow), PondelRunMainWindowFunction>);
