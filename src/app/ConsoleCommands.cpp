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
            "Pondel /C ... [/A] [/P Ports] [/R Count] [/E Name] [/S Password] [/D]\n"
            "Pondel /C (/H Hostname | /I IpAddr) ... /W Seconds\n"
            "Pondel /C /Q [/H Hostname]\n"
            "Pondel /C /L [Seconds]\n"
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
    text += "       /W Seconds : After the wake-up, wait up to Seconds (1-3600) for the host\n"
            "                    at /I or the /H row to answer: exit code 0 when it did,\n"
            "                    4 when it did not\n";
    text += "       /L Seconds : Listen for wake packets on UDP 7, 9, PORT_NO and the extra\n"
            "                    ports and for 0x0842 frames, and print each one; for\n"
            "                    Seconds, or until Ctrl+C when none or 0: exit code 0\n"
            "                    when one came, 5 when none did\n";
    text += kRule;
    text += "Wake options (with any of them each packet is listed with its result):\n"
            "       /A         : Also 255.255.255.255, the host's address, IPv6\n"
            "                    ff02::1 and an Ethernet frame of type 0x0842\n"
            "       /P Ports   : UDP ports instead of 7: 9, or 7,9 (at most 16)\n"
            "       /R Count   : Send everything Count times, 100 ms apart (1-10)\n"
            "       /E Name    : Interface for 255.255.255.255, IPv6 and the frame\n"
            "       /S Password: SecureOn password, six bytes written like a MAC\n"
            "       /D         : Print what would be sent, send nothing\n";
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
