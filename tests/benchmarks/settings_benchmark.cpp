// Times the settings file at its limit of 65,535 hosts and at 1,000 hosts:
// loading the settings with the host list, saving them (the file read
// afresh, then replaced atomically with its flush to disk), and the console
// command that wakes the list's last host, from process start to exit. Each
// figure is printed beside its target; an empty program's start and exit
// shows how much of a console wake is the machine's own cost.
//
// The console command sends its magic packet into a network of this
// process's own: run it as root inside scripts/in-private-network.sh.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include "ChildProcess.h"
#include "Settings.h"
#include "TemporaryDirectory.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;

constexpr int kRuns = 7;

// Every host is in a documentation range, on the benchmark's own network.
constexpr std::string_view kLocalAddress = "198.51.100.1";
constexpr std::string_view kPeerAddress = "198.51.100.2";

double MillisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

std::string SettingsText(std::uint32_t hostCount, std::uint32_t maxHostNum)
{
    std::string text = "[SETTING]\r\nPORT_NO=9\r\nMAX_HOST_NUM=" + std::to_string(maxHostNum) +
        "\r\n[WINDOW]\r\nWINDOW_X=100\r\nITEM_WIDTH_BOOT=20\r\n";
    for (std::uint32_t i = 0; i < hostCount; ++i) {
        const std::string n = std::to_string(i);
        text += "[HOST_" + n + "]\r\nHOST_NAME=workstation-" + n +
            "\r\nCOMMENT=second floor, desk " + n + "\r\nIP_ADDR=198.51.100." +
            std::to_string(i % 250 + 3) +
            "\r\nNET_MASK=255.255.255.0\r\nMAC_ADDR=02:00:00:00:" + std::to_string(i % 90 + 10) +
            ':' + std::to_string(i % 89 + 10) + "\r\n";
    }
    return text;
}

struct Target {
    double milliseconds;
};

struct Runs {
    std::vector<double> wall;      // milliseconds from start to end
    std::vector<double> processor; // milliseconds of processor time, the children's included
};

double ProcessorMilliseconds()
{
    double total = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        ::getrusage(who, &usage);
        for (const timeval& time : {usage.ru_utime, usage.ru_stime})
            total += static_cast<double>(time.tv_sec) * 1000 + time.tv_usec / 1000.0;
    }
    return total;
}

double Median(std::vector<double> values)
{
    std::ranges::sort(values);
    return values[values.size() / 2];
}

// The runs' mean and range. A target counts as met when the median run
// meets it, so that one run slowed by a busy machine does not decide; the
// processor time shows how much of a run was waiting for a processor.
void Report(const char* what, const Runs& runs, std::optional<Target> target)
{
    const auto [low, high] = std::ranges::minmax(runs.wall);
    const double mean = std::accumulate(runs.wall.begin(), runs.wall.end(), 0.0) /
        static_cast<double>(runs.wall.size());
    const double median = Median(runs.wall);
    std::printf("%-46s %7.1f ms mean (%.1f to %.1f, median %.1f, processor %.1f)", what, mean, low,
        high, median, Median(runs.processor));
    if (target)
        std::printf("  target <= %.0f ms: %s", target->milliseconds,
            median <= target->milliseconds ? "met" : "NOT MET");
    std::printf("\n");
}

Runs TimeRuns(const std::function<void()>& prepare, const std::function<void()>& run)
{
    Runs runs;
    for (int i = 0; i < kRuns; ++i) {
        prepare();
        const double processorStart = ProcessorMilliseconds();
        const auto start = std::chrono::steady_clock::now();
        run();
        runs.wall.push_back(MillisecondsSince(start));
        runs.processor.push_back(ProcessorMilliseconds() - processorStart);
    }
    return runs;
}

std::string Label(const char* work, std::uint32_t hostCount, std::uint32_t maxHostNum = 65535)
{
    std::string label = work;
    label += ' ' + std::to_string(hostCount) + "-host file";
    if (maxHostNum != 65535)
        label += " (MAX_HOST_NUM=" + std::to_string(maxHostNum) + ")";
    return label;
}

// The file each save starts from is on the disk before the save is timed,
// so that the save's flush does not flush it too.
void WriteDurably(const std::filesystem::path& file, std::string_view text)
{
    WriteTextFile(file, text);
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

void MeasureLoadAndSave(const TemporaryDirectory& folder, std::uint32_t hostCount,
    std::uint32_t maxHostNum, std::optional<Target> loadTarget, std::optional<Target> saveTarget)
{
    const auto file = folder / ("Pondel-" + std::to_string(hostCount) + ".ini");
    const std::string text = SettingsText(hostCount, maxHostNum);
    WriteTextFile(file, text);
    AppSettings settings;
    HostList hosts;
    const auto load = [&] {
        SetDefaultSettings(settings);
        const SettingsFile opened = SettingsFile::Open(file);
        LoadSettings(opened.Document(), settings);
        LoadHostList(opened.Document(), settings.maxHostNum, hosts);
    };
    Report(Label("load", hostCount, maxHostNum).c_str(), TimeRuns([] {}, load), loadTarget);
    if (hosts.Count() != static_cast<std::int32_t>(hostCount))
        std::printf("  WRONG: %d hosts loaded\n", hosts.Count());

    // One host fewer, so that each save also removes a stale section.
    hosts.RemoveAt(hosts.Count() - 1);
    const WindowState window{
        ScreenRect{100, 100, 900, 700}, ScreenRect{0, 0, 640, 480}, 1920, 1080};
    bool failed = false;
    const auto save = [&] {
        if (const Result<void> status = SaveSettings(file, settings, hosts, window); !status) {
            std::fprintf(stderr, "save failed: %s\n", status.Error().message.c_str());
            failed = true;
        }
    };
    Report(Label("save", hostCount, maxHostNum).c_str(),
        TimeRuns([&] { WriteDurably(file, text); }, save), failed ? std::nullopt : saveTarget);
}

// Runs a program from start to exit, counting the runs that fail. A first
// run outside the timing brings the program and its files into the page
// cache, as they are for a user who runs it now and then.
Runs TimeProgram(const std::vector<std::string>& argv, int& failures)
{
    const auto run = [&] {
        const pid_t pid = test::SpawnProgram(argv);
        if (pid < 0 || test::WaitExitCode(pid) != 0)
            ++failures;
    };
    run();
    return TimeRuns([] {}, run);
}

// The real program, copied into a folder with the settings file beside it,
// wakes the last host of the list by name.
void MeasureConsoleWake(std::uint32_t hostCount, Target target, test::DatagramSink& sink)
{
    const TemporaryDirectory folder;
    std::filesystem::copy_file(PONDEL_EXECUTABLE, folder / "pondel");
    WriteTextFile(folder / "pondel.ini", SettingsText(hostCount, 65535));
    const std::vector<std::string> argv{
        (folder / "pondel").string(), "/C", "/H", "workstation-" + std::to_string(hostCount - 1)};
    int failures = 0;
    const Runs runs = TimeProgram(argv, failures);
    const std::size_t received = sink.ReceiveAll(200ms).size();
    Report(Label("console wake, last host of a", hostCount).c_str(), runs,
        failures == 0 ? std::optional(target) : std::nullopt);
    if (failures != 0 || received != kRuns + 1)
        std::printf("  WRONG: %d runs failed, %zu of %d magic packets arrived\n", failures,
            received, kRuns + 1);
}

// The floor under the console wakes: a program that does nothing, started
// and waited for in the same way. On a virtual machine it alone can take
// milliseconds.
void MeasureEmptyProgram()
{
    int failures = 0;
    const Runs runs = TimeProgram({"/bin/true"}, failures);
    Report("start and exit of an empty program (/bin/true)", runs, std::nullopt);
}

void MeasureConsoleWakes()
{
    if (unshare(CLONE_NEWNET) != 0) {
        std::printf("console wake: skipped, needs a private network namespace (run as root "
                    "inside scripts/in-private-network.sh): %s\n",
            std::strerror(errno));
        return;
    }
    test::TestNetwork network;
    const test::Peer& peer = network.AddPeer({std::string(kLocalAddress), 24, "02:00:00:00:00:01"},
        {std::string(kPeerAddress), 24, "02:00:00:00:00:02"});
    // The console command wakes on the echo port.
    test::DatagramSink sink(peer.ns, 7);
    MeasureConsoleWake(65535, {60}, sink);
    MeasureConsoleWake(1000, {2}, sink);
    MeasureEmptyProgram();
}

} // namespace
} // namespace pondel

int main()
{
    using pondel::Target;
    std::printf("settings file: %d runs of each, in wall-clock milliseconds; \"processor\" is the "
                "median run's processor time\n",
        pondel::kRuns);
    const pondel::TemporaryDirectory folder;
    pondel::MeasureLoadAndSave(folder, 65535, 65535, Target{50}, Target{100});
    pondel::MeasureLoadAndSave(folder, 1000, 65535, Target{2}, Target{2});
    pondel::MeasureConsoleWakes();
    return 0;
}
