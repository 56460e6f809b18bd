// Prints how long the window's event loop stands still while its commands
// wait for the network: an Active Check of 20 silent hosts with the system
// ping and a 1 s timeout, then status passes, sorts and Active Checks
// interleaved with the default settings; and how soon the Wake Up command
// of 100 selected hosts on every path gives the window back. Run it inside
// scripts/in-private-network.sh: the hosts are in a namespace network of the
// benchmark's own, where a peer holds their addresses and ignores echoes.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableView>

#include "Heartbeat.h"
#include "HostTableModel.h"
#include "Ipv4Text.h"
#include "ModalSeam.h"
#include "PondelDlg.h"
#include "Settings.h"
#include "TemporaryDirectory.h"
#include "TestNetwork.h"
#include "WakeRequest.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kHostCount = 20;
constexpr long long kTargetMs = 100;

// The peer answers ARP for all of them and no echo at all.
void BuildSilentHosts(pondel::test::TestNetwork& lab)
{
    const auto& silent = lab.AddPeer({"203.0.113.1", 24, ""}, {"203.0.113.20", 24, ""});
    for (int host = 21; host < 20 + kHostCount; ++host)
        pondel::test::TestNetwork::RunIn(silent.ns,
            {"addr", "add", "203.0.113." + std::to_string(host) + "/24", "dev", silent.peerIf});
    pondel::test::WriteSysctl(silent.ns, "net/ipv4/icmp_echo_ignore_all", "1");
}

// The hosts start marked, so that the end of a check shows in the marks.
pondel::HostList MarkedHosts()
{
    pondel::HostList hosts;
    for (int host = 20; host < 20 + kHostCount; ++host) {
        pondel::tHostInfo info = pondel::MakeHostInfo("silent", "",
            "203.0.113." + std::to_string(host), "255.255.255.0", "02:00:00:00:00:01");
        info.active = 1;
        (void)hosts.Append(info);
    }
    return hosts;
}

int MarkedCount(const pondel::CPondelDlg& window)
{
    const pondel::HostTableModel& rows = *window.HostRows();
    int marked = 0;
    for (int row = 0; row < rows.rowCount(); ++row)
        marked += rows.index(row, 0).data(pondel::HostTableModel::kActiveRole).toBool() ? 1 : 0;
    return marked;
}

void RunEventsFor(std::chrono::milliseconds span)
{
    const Clock::time_point end = Clock::now() + span;
    while (Clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void PrintStall(long long stallMs)
{
    std::printf("  event loop stood still for at most %lld ms  target <= %lld ms: %s\n", stallMs,
        kTargetMs, stallMs <= kTargetMs ? "met" : "NOT MET");
}

// The defaults, without the pass at start and without auto refresh: the
// figures are of the commands alone.
pondel::AppSettings QuietSettings()
{
    pondel::AppSettings settings;
    pondel::SetDefaultSettings(settings);
    settings.initRefresh = 0;
    settings.autoRefresh = 0;
    return settings;
}

void TimeActiveCheckOfSilentHosts(const std::filesystem::path& file)
{
    pondel::AppSettings settings = QuietSettings();
    settings.icmpTimeOut = 1000;
    settings.noExternalCommand = 0;
    pondel::HostList hosts = MarkedHosts();
    pondel::CPondelDlg window(file, settings, hosts);
    window.show();
    RunEventsFor(100ms);
    window.HostListView()->selectAll();

    pondel::test::Heartbeat heartbeat;
    QElapsedTimer command;
    command.start();
    window.RunCommand(pondel::CommandId::kActiveCheck);
    const qint64 commandMs = command.elapsed();
    const Clock::time_point deadline = Clock::now() + 60s;
    while (MarkedCount(window) > 0 && Clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("Active Check of %d silent hosts, system ping, 1 s timeout: the command returned "
                "after %lld ms, the marks were cleared after %.2f s%s\n",
        kHostCount, static_cast<long long>(commandMs), command.elapsed() / 1000.0,
        MarkedCount(window) > 0 ? " (NOT ALL: WRONG)" : "");
    PrintStall(static_cast<long long>(heartbeat.Longest().count()));
    window.close();
}

void TimeInterleavedCommands(const std::filesystem::path& file)
{
    pondel::AppSettings settings = QuietSettings();
    pondel::HostList hosts = MarkedHosts();
    pondel::CPondelDlg window(file, settings, hosts);
    window.show();
    RunEventsFor(100ms);

    pondel::test::Heartbeat heartbeat;
    QHeaderView* header = window.HostListView()->horizontalHeader();
    int rounds = 0;
    Clock::duration longestCommand{};
    const auto timed = [&](const auto& command) {
        const Clock::time_point start = Clock::now();
        command();
        longestCommand = std::max(longestCommand, Clock::now() - start);
    };
    for (const Clock::time_point end = Clock::now() + 5s; Clock::now() < end; ++rounds) {
        timed([&] { window.RunCommand(pondel::CommandId::kRefresh); });
        RunEventsFor(5ms);
        // A sort changes the list while a pass probes it.
        timed([&] { emit header->sectionClicked(1 + rounds % 5); });
        window.HostListView()->selectAll();
        timed([&] { window.RunCommand(pondel::CommandId::kActiveCheck); });
        RunEventsFor(20ms);
    }
    std::printf("Status passes, sorts and Active Checks over %d silent hosts, default settings "
                "(%u ms timeout), %d rounds: the longest command took %lld ms\n",
        kHostCount, settings.icmpTimeOut, rounds,
        static_cast<long long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(longestCommand).count()));
    PrintStall(static_cast<long long>(heartbeat.Longest().count()));
    window.close();
}

// Every path, two ports and three rounds for each of 100 hosts in the lab
// network: the command must hand the sending to its worker at once.
void TimeWakeOfManyHosts(const std::filesystem::path& file)
{
    constexpr int kWakeHosts = 100;
    constexpr long long kWakeTargetMs = 50;
    pondel::AppSettings settings = QuietSettings();
    settings.wakePaths = pondel::kExtraWakePaths;
    settings.wakeExtraPorts = "9";
    settings.wakeRepeatCount = 3;
    pondel::HostList hosts;
    for (int host = 0; host < kWakeHosts; ++host)
        (void)hosts.Append(pondel::MakeHostInfo("sleeper", "",
            "203.0.113." + std::to_string(20 + host), "255.255.255.0", "02:00:00:00:01:01"));
    pondel::CPondelDlg window(file, settings, hosts);
    window.show();
    RunEventsFor(100ms);
    window.HostListView()->selectAll();

    pondel::test::Heartbeat heartbeat;
    QElapsedTimer command;
    command.start();
    window.RunCommand(pondel::CommandId::kWakeUp);
    const qint64 commandMs = command.elapsed();
    const Clock::time_point deadline = Clock::now() + 60s;
    while (window.StatusText(pondel::StatusPane::kGeneral).isEmpty() && Clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("Wake Up of %d selected hosts on every path, 2 ports, 3 rounds: the command "
                "returned after %lld ms  target <= %lld ms: %s; the packets were out after "
                "%.2f s (%s)\n",
        kWakeHosts, static_cast<long long>(commandMs), kWakeTargetMs,
        commandMs <= kWakeTargetMs ? "met" : "NOT MET", command.elapsed() / 1000.0,
        qPrintable(window.StatusText(pondel::StatusPane::kGeneral)));
    PrintStall(static_cast<long long>(heartbeat.Longest().count()));
    window.close();
}

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    pondel::ModalSeam::SetUnattended(true);
    pondel::test::TestNetwork lab;
    BuildSilentHosts(lab);
    const pondel::TemporaryDirectory folder;
    TimeActiveCheckOfSilentHosts(folder / "pondel.ini");
    TimeInterleavedCommands(folder / "pondel.ini");
    TimeWakeOfManyHosts(folder / "pondel.ini");
    return 0;
}
