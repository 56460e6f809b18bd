#include "WindowLauncher.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "LoadableModule.h"
#include "ModulePaths.h"
#include "WindowModuleEntry.h"

namespace pondel {
namespace {

// Beside the executable, as in a build tree or a folder copied whole; else
// where the installation puts it, relative to the executable's folder.
std::filesystem::path FindWindowModule()
{
    const std::filesystem::path folder = GetModuleDirectory();
    const std::filesystem::path beside = folder / PONDEL_WINDOW_MODULE_NAME;
    std::error_code error;
    if (std::filesystem::exists(beside, error))
        return beside;
    return (folder / PONDEL_WINDOW_MODULE_INSTALLED).lexically_normal();
}

Result<PondelRunMainWindowFunction*> FindEntry(const LoadableModule& module)
{
    Result<void*> entry = module.Symbol(kPondelRunMainWindowSymbol);
    if (!entry)
        return entry.Error();
    return reinterpret_cast<PondelRunMainWindowFunction*>(entry.Value());
}

int ReportFailure(const ErrorInfo& error)
{
    std::fprintf(stderr, "The window cannot be shown. %s\n", error.message.c_str());
    return 1;
}

} // namespace

int LaunchWindow(int& argc, char** argv)
{
    const Result<LoadableModule> module = LoadableModule::Open(FindWindowModule());
    if (!module)
        return ReportFailure(module.Error());
    const Result<PondelRunMainWindowFunction*> run = FindEntry(module.Value());
    if (!run)
        return ReportFailure(run.Error());
    // The module stays loaded until the window is gone and the exit code is
    // back.
    return run.Value()(&argc, argv);
}

} // namespace pondel
