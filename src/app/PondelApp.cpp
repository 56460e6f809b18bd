#include "PondelApp.h"

#include <utility>

#include "CommandLine.h"
#include "ConsoleMode.h"
#include "ModulePaths.h"
#include "SettingsLocation.h"
#include "Settings.h"
#include "AddressLookup.h"

namespace pondel {

CPondelApp::CPondelApp(std::vector<std::string> arguments, MainWindowRunner runMainWindow)
    : arguments_(std::move(arguments))
    , runMainWindow_(std::move(runMainWindow))
{
}

void CPondelApp::InitInstance()
{
    // The host list is complete before the command line is read, so that
    // /H can find names in it.
    settingsPath_ = LocateSettingsFile(GetApplicationName());
    SetDefaultSettings(settings_);
    // A file that cannot be read leaves the defaults in place; the status
    // stays for the window to tell the user (the console mode has nowhere
    // to show it and goes on as it would without a file).
    SettingsFile file = SettingsFile::Open(settingsPath_);
    settingsLoadStatus_ = file.LoadStatus();
    LoadSettings(file.Document(), settings_);
    // The console command looks for one host: it keeps only the rows that
    // can be it, rather than copying a list of sixty thousand.
    // Listening matches packets against every row.
    const CommandLineOptions options = ParseCommandLine(arguments_);
    const bool everyRow = options.listen || (options.query && !options.hostName && !options.ipAddr);
    if (options.console && !everyRow)
        LoadHostList(file.Document(), settings_.maxHostNum, hosts_,
            [filter = TargetRowFilter(options)](
                const HostNameAndAddress& host) { return filter(host.hostName, host.ipAddr); });
    else
        LoadHostList(file.Document(), settings_.maxHostNum, hosts_);

    const LocalNetworkQueries local{FindLocalHostAddress, GetNetMask};
    if (const int result = ProcessCommandLine(arguments_, hosts_, local, settings_); result != 0) {
        // The console path ends here and leaves the settings file alone.
        exitCode_ = result == 1 ? 0 : result;
        return;
    }
    // A console command never comes here: it always ends with a result.
    exitCode_ = 0;
    startSettings_ = std::move(file.Document());
    if (runMainWindow_)
        exitCode_ = runMainWindow_(*this);
}

} // namespace pondel
