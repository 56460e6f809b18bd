#include "CommandLine.h"

#include "AsciiText.h"

namespace pondel {
namespace {

std::optional<std::string>* ValueSwitch(CommandLineOptions& options, char letter)
{
    switch (letter) {
    case 'H':
        return &options.hostName;
    case 'I':
        return &options.ipAddr;
    case 'M':
        return &options.macAddr;
    case 'N':
        return &options.netMask;
    default:
        return nullptr;
    }
}

// The wake-up's value switches, whose missing value is a bad one.
std::optional<std::string>* WakeValueSwitch(CommandLineOptions& options, char letter)
{
    switch (letter) {
    case 'E':
        return &options.interfaceName;
    case 'P':
        return &options.ports;
    case 'R':
        return &options.repeats;
    case 'S':
        return &options.secureOn;
    case 'W':
        return &options.waitSeconds;
    default:
        return nullptr;
    }
}

} // namespace

CommandLineOptions ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLineOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.empty() || (argument[0] != '-' && argument[0] != '/'))
            continue;
        const char letter = argument.size() > 1 ? ToUpperAscii(argument[1]) : '\0';
        if (letter == 'B') {
            options.broadcast = false;
        } else if (letter == 'C') {
            options.console = true;
        } else if (letter == 'Q') {
            options.query = true;
        } else if (letter == 'L') {
            // The seconds are optional: a switch after /L is a switch.
            options.listen = true;
            const bool value = i + 1 < arguments.size() && !arguments[i + 1].empty() &&
                arguments[i + 1][0] != '-' && arguments[i + 1][0] != '/';
            if (value)
                options.listenSeconds = arguments[++i];
        } else if (letter == 'V') {
            options.version = true;
        } else if (letter == 'A') {
            options.allPaths = true;
        } else if (letter == 'D') {
            options.dryRun = true;
        } else if (auto* value = ValueSwitch(options, letter)) {
            // A switch with nothing after it adds no value.
            if (i + 1 < arguments.size())
                *value = arguments[++i];
        } else if (auto* wakeValue = WakeValueSwitch(options, letter)) {
            *wakeValue = i + 1 < arguments.size() ? arguments[++i] : std::string();
        } else {
            options.unknownSwitch = true;
            break;
        }
    }
    return options;
}

} // namespace pondel
