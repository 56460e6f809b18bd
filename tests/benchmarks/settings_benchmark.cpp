// Times loading and saving settings files with many hosts, to show that both
// stay well under a second at 65,535 hosts and grow linearly with the count.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "Settings.h"
#include "TemporaryDirectory.h"

namespace pondel {
namespace {

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string SettingsText(std::uint32_t hostCount, std::uint32_t maxHostNum)
{
    std::string text = "[SETTING]\r\nPORT_NO=9\r\nMAX_HOST_NUM=" + std::to_string(maxHostNum) +
        "\r\n[WINDOW]\r\nWINDOW_X=100\r\nITEM_WIDTH_BOOT=20\r\n";
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

void Measure(const TemporaryDirectory& folder, std::uint32_t hostCount, std::uint32_t maxHostNum)
{
    const auto file = folder / ("Pondel-" + std::to_string(hostCount) + "-" +
                                   std::to_string(maxHostNum) + ".ini");
    WriteTextFile(file, SettingsText(hostCount, maxHostNum));
    AppSettings settings;
    HostList hosts;
    auto start = std::chrono::steady_clock::now();
    SetDefaultSettings(settings);
    const SettingsFile opened = SettingsFile::Open(file);
    LoadSettings(opened.Document(), settings);
    LoadHostList(opened.Document(), settings.maxHostNum, hosts);
    std::printf("load %d hosts (MAX_HOST_NUM=%u): %.3f s\n", hosts.Count(), maxHostNum,
        SecondsSince(start));

    // One host fewer, so that the save also removes a stale section.
    hosts.RemoveAt(hosts.Count() - 1);
    const WindowState window{ScreenRect{100, 100, 900, 700}, ScreenRect{0, 0, 640, 480}, 1920, 1080};
    start = std::chrono::steady_clock::now();
    const Result<void> status = SaveSettings(file, settings, hosts, window);
    std::printf("save %d hosts (MAX_HOST_NUM=%u): %.3f s\n", hosts.Count(), maxHostNum,
        SecondsSince(start));
    if (!status)
        std::fprintf(stderr, "save failed: %s\n", status.Error().message.c_str());
}

} // namespace
} // namespace pondel

int main()
{
    const pondel::TemporaryDirectory folder;
    for (const std::uint32_t count : {16383u, 32767u, 65535u})
        pondel::Measure(folder, count, 65535);
    // The limit alone must not cost anything: the same file with a limit of
    // four billion.
    pondel::Measure(folder, 65535, 4000000000u);
    return 0;
}
