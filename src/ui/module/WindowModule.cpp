#include <type_traits>

#include "PondelApp.h"
#include "WindowModuleEntry.h"
#include "WindowRunner.h"
#include "pondel_window_export.h"

// The one symbol the window module shows the executable.
extern "C" PONDEL_WINDOW_EXPORT int PondelRunMainWindow(
    pondel::CPondelApp* app, int* argc, char** argv)
{
    return pondel::MakeWindowRunner(*argc, argv)(*app);
}

// The executable looks the entry up by this name and calls it through this
// type; a change to either must show here.
static_assert(std::is_same_v<decltype(PondelRunMainWindow), PondelRunMainWindowFunction>);
