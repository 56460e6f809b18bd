#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pondel {

// What decides where the settings file lives.
struct SettingsLocationFacts {
    std::string moduleDirectory;    // the executable's folder, ending in a separator
    std::string installedDirectory; // where an installed executable lives, ending in a separator
    std::string baseName;           // the settings file's base name
    bool fileBesideModule = false;  // <baseName>.ini exists beside the executable
    std::optional<std::string> xdgConfigHome;
    std::optional<std::string> home;
};

// The settings file to use. A file beside the executable always wins: that is
// portable use, and a build run from its build tree keeps its file there too.
// An installed executable, whose folder is not the user's to write, keeps
// its settings in $XDG_CONFIG_HOME/<baseName>/, by default
// ~/.config/<baseName>/. Without a home to go to it stays beside the
// executable.
[[nodiscard]] std::string ChooseSettingsPath(const SettingsLocationFacts& facts);

// The same for the running program, with the facts read from the system.
[[nodiscard]] std::string LocateSettingsFile(std::string_view baseName);

} // namespace pondel
