#include <string>
#include <vector>

#include "PondelApp.h"
#include "WindowRunner.h"

int main(int argc, char** argv)
{
    pondel::CPondelApp app(
        std::vector<std::string>(argv + 1, argv + argc), pondel::MakeWindowRunner(argc, argv));
    app.InitInstance();
    return app.ExitInstance();
}
