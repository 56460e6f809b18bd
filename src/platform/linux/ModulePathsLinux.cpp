#include "ModulePaths.h"

#include <climits>

#include <unistd.h>

namespace pondel {
namespace {

std::string ExecutablePath()
{
    char path[PATH_MAX + 1];
    const ssize_t length = readlink("/proc/self/exe", path, PATH_MAX);
    if (length <= 0)
        return {};
    return std::string(path, static_cast<std::size_t>(length));
}

} // namespace

std::string GetModuleDirectory()
{
    const std::string path = ExecutablePath();
    const auto separator = path.rfind('/');
    if (separator == std::string::npos)
        return {};
    return path.substr(0, separator + 1);
}

std::string GetApplicationName()
{
    std::string name = ExecutablePath();
    name.erase(0, name.rfind('/') + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name.empty() ? std::string("pondel") : name;
}

std::string MakeSettingsPath(std::string_view baseName)
{
    return GetModuleDirectory() + std::string(baseName) + ".ini";
}

} // namespace pondel
