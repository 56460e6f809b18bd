#include "ConsoleCommands.h"

#include <cstdio>

#include "VersionInfo.h"

namespace pondel {

std::string UsageText()
{
    static constexpr const char* kRule =
        "---------+---------+---------+---------+---------+---------+---------+\n";
    std::string text = "\nUsage:\n";
    text += kRule;
    text += "Command Format:\n"
            "Pondel /C /H Hostname [/I IpAddr] [/N NetMask] [/M MacAddr] [/B]\n"
            "Pondel /C /I IpAddr [/N NetMask] [/M MacAddr] [/B]\n"
            "Pondel /C /M MacAddr [/I IpAddr] [/N NetMask] [/B]\n"
            "Pondel /C /Q [/H Hostname]\n"
            "Pondel /C /V\n"
            "Pondel /V\n";
    text += kRule;
    text += "Parameters:\n"
            "       /C         : Execute in command line\n"
            "       /H Hostname: Target host name registered in the host list\n"
            "       /I IpAddr  : Target IP address (or broadcast address)\n"
            "       /N NetMask : Net mask for target network\n"
            "       /M MacAddr : Target MAC address\n"
            "       /B         : Do not use broadcast(Use broadcast by default)\n"
            "       /V        : Disp Program Version in console\n"
            "       /Q         : Print each host's state (up, up-no-ping, another-machine,\n"
            "                    down), the MAC that answered and its vendor\n";
    text += kRule;
    text += "       If there is no parameter, it will start as a GUI application\n";
    return text;
}

std::string VersionText()
{
    std::string productName;
    // Without a product name the text is the version alone.
    if (GetVersionString("ProductName", productName) == 0)
        productName.clear();
    const std::optional<FileVersion> numbers = GetFileVersionNumbers();
    if (!numbers)
        return productName;
    char version[32];
    std::snprintf(version, sizeof version, " Ver.%u.%02u", unsigned{numbers->major},
        unsigned{numbers->minor});
    return productName + version;
}

ConsoleResult ShowUsage()
{
    return WriteToConsole(UsageText());
}

ConsoleResult ShowVersion()
{
    std::string text(1, '\n');
    text += VersionText();
    text += '\n';
    return WriteToConsole(text);
}

} // namespace pondel
