#include <string>
#include <vector>

#include "PondelApp.h"

int main(int argc, char** argv)
{
    pondel::CPondelApp app(std::vector<std::string>(argv + 1, argv + argc), {});
    app.InitInstance();
    return app.ExitInstance();
}
