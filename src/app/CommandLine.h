#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pondel {

// What the switches of one command line ask for.
struct CommandLineOptions {
    bool console = false;                     // /C
    bool version = false;                     // /V
    bool broadcast = true;                    // cleared by /B
    bool query = false;                       // /Q
    bool listen = false;                      // /L
    std::optional<std::string> listenSeconds; // /L's optional seconds
    bool unknownSwitch = false;               // a letter we do not know, or a bare switch
    std::optional<std::string> hostName;      // /H
    std::optional<std::string> ipAddr;        // /I
    std::optional<std::string> macAddr;       // /M
    std::optional<std::string> netMask;       // /N
    // The wake-up's own switches. Their values are checked by
    // ReadWakeSwitches; one given without a value has an empty one.
    bool allPaths = false;                    // /A
    bool dryRun = false;                      // /D
    std::optional<std::string> interfaceName; // /E
    std::optional<std::string> ports;         // /P
    std::optional<std::string> repeats;       // /R
    std::optional<std::string> secureOn;      // /S
    std::optional<std::string> waitSeconds;   // /W: seconds to wait for an answer
};

// Reads the arguments after the program path. A switch starts with '-' or
// '/', and only its next letter counts, in either case ("/Cxyz" is /C). The
// value switches take the following argument whatever it looks like; /L
// takes it only when it is no switch. Other arguments are ignored. Parsing stops at the first
// unknown switch.
[[nodiscard]] CommandLineOptions ParseCommandLine(const std::vector<std::string>& arguments);

} // namespace pondel
