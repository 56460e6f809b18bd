#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "AppSettings.h"
#include "IniDocument.h"
#include "Result.h"
#include "HostList.h"

namespace pondel {

// The application object: owns the settings and the host list for the whole
// process, decides between the console command and the window, and keeps
// the exit code.
class CPondelApp final {
public:
    // Runs the window application; it returns the exit code when the main
    // window closed. The window writes the settings back itself.
    using MainWindowRunner = std::function<std::int32_t(CPondelApp&)>;

    CPondelApp(std::vector<std::string> arguments, MainWindowRunner runMainWindow);
    CPondelApp(const CPondelApp&) = delete;
    CPondelApp& operator=(const CPondelApp&) = delete;

    // Loads the settings and the host list, then runs the console command
    // or the window.
    void InitInstance();
    // The process exit code.
    std::int32_t ExitInstance() const { return exitCode_; }

    const std::string& SettingsPath() const { return settingsPath_; }
    // How reading the settings file at start went: ENOENT when there was
    // none yet, another error when it exists but could not be read (the
    // defaults then apply, and SettingsFile::Save refuses to overwrite it).
    [[nodiscard]] const Result<void>& SettingsLoadStatus() const { return settingsLoadStatus_; }
    AppSettings& Settings() { return settings_; }
    // The settings file as read at start, so that the window need not read
    // it again for the values it alone takes (DEFAULT_HOST, the geometry).
    [[nodiscard]] const IniDocument& StartSettings() const { return startSettings_; }
    void ReleaseStartSettings() { startSettings_ = IniDocument(); }
    HostList& Hosts() { return hosts_; }

private:
    std::vector<std::string> arguments_;
    MainWindowRunner runMainWindow_;
    std::string settingsPath_;
    Result<void> settingsLoadStatus_;
    AppSettings settings_;
    IniDocument startSettings_;
    HostList hosts_;
    std::int32_t exitCode_ = 0;
};

} // namespace pondel
