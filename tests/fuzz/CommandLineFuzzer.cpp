// Command lines from scripts, with the host list they are resolved against:
// the switches and the wake-up target never give texts longer than the
// magic packet takes, and nothing is sent.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "CommandLine.h"
#include "FuzzCheck.h"
#include "Ipv4Text.h"
#include "MagicPacket.h"
#include "WakeOptionTexts.h"
#include "WakeSwitches.h"
#include "WakeUpTarget.h"

namespace pondel::fuzz {
namespace {

HostList FuzzedHosts(FuzzedDataProvider& input)
{
    HostList hosts;
    const int count = input.ConsumeIntegralInRange(0, 3);
    for (int i = 0; i < count; ++i) {
        const std::string name = input.ConsumeRandomLengthString(140);
        const std::string comment = input.ConsumeRandomLengthString(16);
        const std::string ip = input.ConsumeRandomLengthString(40);
        const std::string mask = input.ConsumeRandomLengthString(40);
        const std::string mac = input.ConsumeRandomLengthString(40);
        hosts.Append(MakeHostInfo(name, comment, ip, mask, mac));
    }
    return hosts;
}

// The rest of the input as arguments, one per NUL-separated piece, as a
// command line cannot hold NUL itself.
std::vector<std::string> FuzzedArguments(const std::string& rest)
{
    std::vector<std::string> arguments;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = rest.find('\0', start);
        arguments.push_back(rest.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return arguments;
}

void CheckTarget(const WakeUpTarget& target)
{
    Require(
        target.ipAddr.size() <= 15 && target.netMask.size() <= 15 && target.macAddr.size() <= 17,
        "target texts fit the packet's fields");
    Require(!target.macAddr.empty() && !target.ipAddr.empty(), "a target has a MAC and an address");
    MacAddress mac{};
    if (ParseMacAddress(target.macAddr, mac) == 0) {
        const MagicPacket packet = BuildMagicPacket(mac);
        Require(packet[0] == 0xFF && packet[6] == mac[0] && packet[kMagicPacketSize - 1] == mac[5],
            "the packet carries the MAC");
    }
    (void)MagicPacketDestination(
        TextToIp(target.ipAddr), TextToIp(target.netMask), target.broadcast);
}

// The wake switches a command line passes hold only values a wake-up can use.
void CheckSwitches(const WakeSwitches& switches)
{
    Require(switches.repeats >= 1 && switches.repeats <= 10, "repeats from 1 to 10");
    if (switches.ports)
        Require(!switches.ports->empty() && switches.ports->size() <= kMostWakePorts &&
                std::ranges::find(*switches.ports, 0) == switches.ports->end(),
            "one to sixteen ports, none of them 0");
    Require(switches.interfaceName.empty() || IsValidInterfaceName(switches.interfaceName),
        "an interface name the system can hold");
    Require(switches.secureOn.empty() || ParseSecureOn(switches.secureOn).has_value(),
        "a SecureOn password of six bytes");
}

} // namespace
} // namespace pondel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pondel;
    using namespace pondel::fuzz;
    FuzzedDataProvider input(data, size);
    const HostList hosts = FuzzedHosts(input);
    const auto ownAddress = input.ConsumeIntegral<std::uint32_t>();
    const auto ownMask = input.ConsumeIntegral<std::uint32_t>();
    const LocalNetworkQueries local{
        [ownAddress] { return ownAddress; }, [ownMask](std::uint32_t) { return ownMask; }};

    const CommandLineOptions options =
        ParseCommandLine(FuzzedArguments(input.ConsumeRemainingBytesAsString()));
    if (const auto target = AssembleWakeUpTarget(options, hosts, local))
        CheckTarget(*target);
    if (const auto switches = ReadWakeSwitches(options))
        CheckSwitches(*switches);
    return 0;
}
