#include "SettingsLocation.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "ModulePaths.h"
#include "PondelBuildInfo.h"

namespace pondel {
namespace {

// Only an absolute XDG_CONFIG_HOME counts; the base directory rules say to
// ignore a relative one.
std::optional<std::string> ConfigHome(const SettingsLocationFacts& facts)
{
    if (facts.xdgConfigHome && facts.xdgConfigHome->starts_with('/'))
        return *facts.xdgConfigHome;
    if (facts.home && facts.home->starts_with('/'))
        return *facts.home + "/.config";
    return std::nullopt;
}

std::optional<std::string> Environment(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    return std::string(value);
}

} // namespace

std::string ChooseSettingsPath(const SettingsLocationFacts& facts)
{
    std::string besideModule = facts.moduleDirectory;
    besideModule += facts.baseName;
    besideModule += ".ini";
    const bool installed =
        !facts.moduleDirectory.empty() && facts.moduleDirectory == facts.installedDirectory;
    if (facts.fileBesideModule || !installed)
        return besideModule;
    const std::optional<std::string> configHome = ConfigHome(facts);
    if (!configHome)
        return besideModule;
    std::string path = *configHome;
    path += '/';
    path += facts.baseName;
    path += '/';
    path += facts.baseName;
    path += ".ini";
    return path;
}

std::string LocateSettingsFile(std::string_view baseName)
{
    SettingsLocationFacts facts;
    facts.moduleDirectory = GetModuleDirectory();
    facts.installedDirectory = kInstalledProgramDirectory;
    facts.baseName = baseName;
    std::error_code error;
    facts.fileBesideModule = std::filesystem::exists(MakeSettingsPath(baseName), error);
    facts.xdgConfigHome = Environment("XDG_CONFIG_HOME");
    facts.home = Environment("HOME");
    return ChooseSettingsPath(facts);
}

} // namespace pondel
