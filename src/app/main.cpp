#include <string>
#include <vector>

#include "app/PondelApp.h"
#ifdef PONDEL_GUI
#include "WindowRunner.h"
#endif

namespace {

pondel::CPondelApp::MainWindowRunner WindowRunner(
    [[maybe_unused]] int& argc, [[maybe_unused]] char** argv)
{
#ifdef PONDEL_GUI
    return pondel::MakeWindowRunner(argc, argv);
#else
    return {};
#endif
}

} // namespace

int main(int argc, char** argv)
{
    pondel::CPondelApp app(
        std::vector<std::string>(argv + 1, argv + argc), WindowRunner(argc, argv));
    app.InitInstance();
    return app.ExitInstance();
}
