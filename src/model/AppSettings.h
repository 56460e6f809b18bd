#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace pondel {

// A colour as red in the low byte, then green, then blue.
using ColorValue = std::uint32_t;

[[nodiscard]] constexpr ColorValue MakeColor(
    std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return ColorValue{red} | (ColorValue{green} << 8) | (ColorValue{blue} << 16);
}

// The values a number option may take: the option dialog refuses any other,
// and the settings file reads any other as the option's default.
struct SettingRange {
    std::uint32_t minimum;
    std::uint32_t maximum;

    [[nodiscard]] constexpr bool Holds(std::uint64_t value) const noexcept
    {
        return value >= minimum && value <= maximum;
    }
};

inline constexpr SettingRange kIcmpTimeOutRange{1, 10000};    // milliseconds
inline constexpr SettingRange kMaxHostNumRange{1, 65535};     // rows
inline constexpr SettingRange kTimerIntervalRange{10, 65535}; // seconds
// A wake-up needs a port; the settings file still takes any number for it
// and the packet goes to its low 16 bits.
inline constexpr SettingRange kPortNoRange{1, 65535};
inline constexpr SettingRange kWakeRepeatCountRange{1, 10};          // rounds
inline constexpr SettingRange kWakeRepeatIntervalRange{1, 10000};    // milliseconds
inline constexpr SettingRange kWakeConfirmIntervalRange{100, 60000}; // milliseconds
inline constexpr SettingRange kWakeConfirmTimeoutRange{0, 3600};     // seconds; 0 is off
inline constexpr SettingRange kWakeResendSecondsRange{0, 3600};      // seconds; 0 is off

// Widths of the six list columns: active mark, host name, comment, IP
// address, netmask, MAC address. 0 lets the list measure a width itself.
using ColumnWidths = std::array<std::int32_t, 6>;

// The options of the settings file's SETTING section, in file order.
struct AppSettings {
    std::uint32_t portNo = 7;
    std::uint32_t icmpTimeOut = 30;
    std::uint32_t collectHostIcmpTimeOut = 30;
    std::string collectHostAddrStart;
    std::string collectHostAddrEnd;
    std::string collectHostNetMask;
    std::uint32_t maxHostNum = 100;
    std::uint32_t listRowHeight = 20;
    std::uint32_t autoRefresh = 1;
    std::uint32_t enableRemoteShutdown = 0;
    std::uint32_t timerInterval = 60;
    std::uint32_t initRefresh = 1;
    std::uint32_t noExternalCommand = 0;
    std::uint32_t checkNetworkSegment = 0;
    std::uint32_t activeMarkType = 0;
    ColorValue activeImgMaskColor = MakeColor(0, 0, 255);
    ColorValue activeMarkTextColor = MakeColor(0, 0, 0);
    ColorValue activeMarkBackColor = MakeColor(0, 255, 0);
    std::string activeMarkText = " * ";
    std::uint32_t nonBroadcastDflt = 0;
    std::uint32_t taskTrayIcon = 0;
    // The remote shutdown command: whitespace-separated arguments, double
    // quotes around one with blanks, %s where the host's address goes.
    std::string shutdownCommand = "net rpc shutdown -I %s -f -t 0";
    // Echo requests a second in status passes and sweeps; 0 probes one
    // host after another.
    std::uint32_t probeRate = 4000;
    // Paths a wake-up takes besides the directed broadcast, as WakePathSet
    // bits; 0 sends the single datagram alone.
    std::uint32_t wakePaths = 0;
    // Ports a wake-up also goes to besides PORT_NO, such as "9" or "9,4000".
    std::string wakeExtraPorts;
    std::uint32_t wakeRepeatCount = 1;
    std::uint32_t wakeRepeatInterval = 100; // milliseconds between rounds
    // Watching a woken host until it answers: how often it is probed, for how
    // long (0 probes it once, at once), and how often the packets are sent
    // again meanwhile (0 never).
    std::uint32_t wakeConfirmInterval = 1000; // milliseconds
    std::uint32_t wakeConfirmTimeout = 180;   // seconds
    std::uint32_t wakeResendSeconds = 0;
    // Status passes and sweeps also ask hosts on this computer's own links
    // by ARP, which finds hosts that drop echo requests and tells which
    // machine answers for an address.
    std::uint32_t arpProbe = 1;
    // Where the IEEE registries of MAC address blocks are read from; empty
    // takes Debian's ieee-data folder.
    std::string vendorRegistryFolder;
    // Whether the list shows the vendor of each row's MAC address in a
    // column of its own, after the MAC address column.
    std::uint32_t vendorColumn = 0;

    ColumnWidths columnWidths{};
    // The Vendor column's width; 0 until it has been shown (the list then
    // measures one).
    std::int32_t vendorColumnWidth = 0;
    // The Group column's width; 0 while it has the width the list measures.
    std::int32_t groupColumnWidth = 0;

    bool operator==(const AppSettings&) const = default;
};

} // namespace pondel
