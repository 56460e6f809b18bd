#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pondel {

// What the switches of one command line ask for.
struct CommandLineOptions {
    bool console = false;                // /C
    bool version = false;                // /V
    bool broadcast = true;               // cleared by /B
    bool query = false;                  // /Q
    bool unknownSwitch = false;          // a letter we do not know, or a bare switch
    std::optional<std::string> hostName; // /H
    std::optional<std::string> ipAddr;   // /I
    std::optional<std::string> macAddr;  // /M
    std::optional<std::string> netMask;  // /N
};

// Reads the arguments after the program path. A switch starts with '-' or
// '/', and only its next letter counts, in either case ("/Cxyz" is /C). The
// value switches take the following argument whatever it looks like. Other
// arguments are ignored. Parsing stops at the first unknown switch.
[[nodiscard]] CommandLineOptions ParseCommandLine(const std::vector<std::string>& arguments);

} // namespace pondel
