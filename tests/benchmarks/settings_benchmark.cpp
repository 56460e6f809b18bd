// Times loading and saving settings files with many hosts, to show that both
// stay well under a second at 65,535 hosts and grow linearly with the count.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "TemporaryDirectory.h"
#include "Settings.h"

namespace pondel {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string SettingsText(std::uint32_t hostCount, std::uint32_t maxHostNum)
{
    std::string text =
        "[SETTING]\r\nPORT_NO=9\r\nMAX_HOST_NUM=" + std::to_string(maxHostNum) + "\r\n";
    text += "[WINDOW]\r\nWINDOW_X=100\r\nITEM_WIDTH_BOOT=20\r\n";
    for (std::uint32_t i = 0; i < hostCount; ++i) {
        const std::string n = std::to_string(i);
        text += "[HOST_" + n + "]\r\nHOST_NAME=workstation-" + n +
            "\r\nCOMMENT=second floor, desk " + n + "\r\nIP_ADDR=10." + std::to_string(i >> 16) +
            '.' + std::to_string((i >> 8) & 255) + '.' + std::to_string(i & 255) +
            "\r\nNET_MASK=255.0.0.0\r\nMAC_ADDR=02:00:00:00:" + std::to_string(i % 90 + 10) + ':' +
            std::to_string(i % 89 + 10) + "\r\n";
    }
    return text;
}

struct Timing {
    double load = 0;
    double save = 0;
    std::int32_t hosts = 0;
};

Timing Measure(const std::filesystem::path& file)
{
    Timing timing;
    AppSettings settings;
    HostList hosts;
    const auto loadStart = Clock::now();
    SetDefaultSettings(settings);
    const SettingsFile opened = SettingsFile::Open(file);
    LoadSettings(opened.Document(), settings);
    LoadHostList(opened.Document(), settings.maxHostNum, hosts);
    timing.load = SecondsSince(loadStart);
    timing.hosts = hosts.Count();

    // One host fewer, so that the save also removes a stale section.
    hosts.RemoveAt(hosts.Count() - 1);
    WindowState window;
    window.window = ScreenRect{100, 100, 900, 700};
    window.fallback = ScreenRect{0, 0, 640, 480};
    window.virtualScreenWidth = 1920;
    window.virtualScreenHeight = 1080;
    const auto saveStart = Clock::now();
    const Result<void> status = SaveSettings(file, settings, hosts, window);
    timing.save = SecondsSince(saveStart);
    if (!status)
        std::fprintf(stderr, "save failed: %s\n", status.Error().message.c_str());
    return timing;
}

void Report(const TemporaryDirectory& folder, std::uint32_t hostCount, std::uint32_t maxHostNum)
{
    const auto file = folder /
        ("Pondel-" + std::to_string(hostCount) + "-" + std::to_string(maxHostNum) + ".ini");
    WriteTextFile(file, SettingsText(hostCount, maxHostNum));
    const Timing timing = Measure(file);
    std::printf("load %d hosts (MAX_HOST_NUM=%u): %.3f s\n", timing.hosts, maxHostNum, timing.load);
    std::printf(
        "save %d hosts (MAX_HOST_NUM=%u): %.3f s\n", timing.hosts - 1, maxHostNum, timing.save);
}

} // namespace
} // namespace pondel

int main()
{
    const pondel::TemporaryDirectory folder;
    for (const std::uint32_t count : {16383u, 32767u, 65535u})
        pondel::Report(folder, count, 65535);
    // The limit alone must not cost anything: the same file with a limit of
    // four billion.
    pondel::Report(folder, 65535, 4000000000u);
    return 0;
}
