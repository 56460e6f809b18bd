// Prints the time from process start to the first painted frame of the main
// window under the offscreen platform, for settings files of 1,000 and 65,535
// hosts, and how long a jump to the end of the long list takes to paint.
// Each size runs in a fresh process so that the start-up is a real one.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTableView>

#include "PondelDlg.h"
#include "Settings.h"
#include "TemporaryDirectory.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

void WriteSettings(const std::filesystem::path& file, int hosts)
{
    std::ofstream out(file, std::ios::binary);
    out << "[SETTING]\nMAX_HOST_NUM=65535\nDEFAULT_HOST=0\n";
    for (int row = 0; row < hosts; ++row) {
        const int a = (row >> 8) & 0xFF;
        const int b = row & 0xFF;
        out << "[HOST_" << row << "]\nHOST_NAME=host-" << row << "\nCOMMENT=bench\nIP_ADDR=10.1."
            << a << '.' << b << "\nNET_MASK=255.255.0.0\nMAC_ADDR=02:00:00:00:" << std::hex << a
            << ':' << b << std::dec << '\n';
    }
}

// Paint of the list's viewport: the first frame, and the one after a jump.
class PaintWatch final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
    int paints = 0;
};

int RunOne(int argc, char** argv)
{
    const Clock::time_point mainEntered = Clock::now();
    const std::filesystem::path file = argv[2];
    const Clock::time_point spawned{Clock::duration{std::stoll(argv[3])}};
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);

    pondel::AppSettings settings;
    pondel::HostList hosts;
    pondel::SetDefaultSettings(settings);
    {
        const pondel::SettingsFile loaded = pondel::SettingsFile::Open(file);
        pondel::LoadSettings(loaded.Document(), settings);
        pondel::LoadHostList(loaded.Document(), settings.maxHostNum, hosts);
    }
    const auto loaded =
        std::chrono::duration<double, std::milli>(Clock::now() - mainEntered).count();
    QApplication application(argc, argv);
    pondel::CPondelDlg window(file, settings, hosts);
    PaintWatch watch;
    window.HostListView()->viewport()->installEventFilter(&watch);
    window.show();
    while (watch.paints == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const auto sinceStart =
        std::chrono::duration<double, std::milli>(Clock::now() - spawned).count();
    const auto sinceMain =
        std::chrono::duration<double, std::milli>(Clock::now() - mainEntered).count();

    QScrollBar* scroll = window.HostListView()->verticalScrollBar();
    const int before = watch.paints;
    QElapsedTimer jump;
    jump.start();
    scroll->setValue(scroll->maximum());
    while (watch.paints == before)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const qint64 jumpMs = jump.elapsed();

    std::printf("%6d hosts: first frame %.0f ms after process start (settings loaded after "
                "%.0f ms, frame %.0f ms after main); a jump to the last row painted in %lld ms\n",
        hosts.Count(), sinceStart, loaded, sinceMain, static_cast<long long>(jumpMs));
    std::fflush(stdout);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 4)
        return RunOne(argc, argv);
    const pondel::TemporaryDirectory folder;
    for (const int count : {1000, 65535}) {
        const std::filesystem::path file = folder / ("hosts-" + std::to_string(count) + ".ini");
        WriteSettings(file, count);
        std::string self = "/proc/self/exe";
        std::string mode = "run";
        std::string path = file.string();
        // The child measures from this moment: spawning, loading and linking
        // count as start-up.
        std::string spawned = std::to_string(Clock::now().time_since_epoch().count());
        char* childArgs[] = {self.data(), mode.data(), path.data(), spawned.data(), nullptr};
        pid_t pid = -1;
        if (::posix_spawn(&pid, self.c_str(), nullptr, nullptr, childArgs, environ) != 0)
            return 1;
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return 1;
    }
    return 0;
}
