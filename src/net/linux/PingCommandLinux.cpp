#include "Icmp.h"

#include <string>
#include <vector>

#include "RunCommand.h"
#include "AsciiText.h"

namespace pondel {
namespace {

// iputils ping waits in seconds and takes fractions; a wait of 0 would mean
// none at all, so the shortest wait is one millisecond.
std::string WaitSeconds(std::uint32_t timeOut)
{
    const std::uint32_t milliseconds = timeOut == 0 ? 1 : timeOut;
    std::string fraction = std::to_string(milliseconds % 1000);
    fraction.insert(0, 3 - fraction.size(), '0');
    return std::to_string(milliseconds / 1000) + "." + fraction;
}

} // namespace

// Stands in for the command interpreter running "ping -n 1 -w TIMEOUT TARGET"
// piped into a search for "ms TTL=": iputils ping exits with 0 exactly when a
// reply arrived, so its exit status says what the search did. There is no
// interpreter to look up, and the target goes to ping as one argument.
int PingCommand(std::string_view target, std::uint32_t timeOut)
{
    const std::string host(CutAtNul(target));
    // Anything beginning with '-' would be read as an option.
    if (host.empty() || host.front() == '-')
        return -1;
    // IPv4 only, as our own echo is: a name with an IPv6 address as well
    // must not be probed over IPv6 in one mode and IPv4 in the other.
    const int status =
        RunCommand({"ping", "-4", "-c", "1", "-n", "-W", WaitSeconds(timeOut), "--", host});
    return status == 0 ? 0 : -1;
}

} // namespace pondel
