// The window under load over a namespace network: every command in random
// order while status passes and sweeps run, and closing at random moments
// of a pass, a sweep or a lookup.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "CCollectProcDlg.h"
#include "DialogDriving.h"
#include "Heartbeat.h"
#include "HostTableModel.h"
#include "Ipv4Text.h"
#include "ModalSeam.h"
#include "NetworkUiTestMain.h"
#include "TestNetwork.h"
#include "UiTestSupport.h"

namespace pondel::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Texts = std::vector<std::string>;

// Ends the whole test, loudly, when it has not finished in time: a deadlock
// would otherwise only show as a run that never ends.
class Watchdog final {
public:
    Watchdog(std::chrono::seconds limit, std::string what)
        : thread_([this, limit, what = std::move(what)] {
            std::unique_lock lock(mutex_);
            if (!done_.wait_for(lock, limit, [this] { return finished_; })) {
                std::fprintf(stderr, "DEADLOCK? %s did not finish within %lld s\n", what.c_str(),
                    static_cast<long long>(limit.count()));
                std::fflush(stderr);
                std::abort();
            }
        })
    {
    }
    ~Watchdog()
    {
        {
            const std::scoped_lock lock(mutex_);
            finished_ = true;
        }
        done_.notify_one();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

std::string Joined(const tHostInfo& host)
{
    return std::string(host.hostName) + "|" + host.comment + "|" + host.ipAddr + "|" +
        host.netMask + "|" + host.macAddr;
}

Texts WindowRows(const CPondelDlg& window)
{
    Texts rows;
    for (const HostRow& row : window.HostRows()->Rows())
        rows.push_back(Joined(row.host));
    return rows;
}

Texts ListRows(const HostList& hosts)
{
    Texts rows;
    for (const tHostInfo& host : hosts)
        rows.push_back(Joined(host));
    return rows;
}

Texts SavedRows(const WindowFixture& fixture)
{
    const SettingsFile file = fixture.Saved();
    // Paste may take the list past MAX_HOST_NUM; every row is written, though
    // only that many are read at start.
    HostList hosts;
    LoadHostList(file.Document(), 65535, hosts);
    return ListRows(hosts);
}

// Listed hosts: live ones in 198.51.100.20-23, silent ones in 203.0.113.20-23
// (one that ignores echoes, three that are not there). The sweep's range
// holds listed, unlisted and absent addresses.
constexpr int kProbeTimeOut = 1000;
const char* const kSweepStart = "198.51.100.18";
const char* const kSweepEnd = "198.51.100.40";

std::string Settings(int timeOut, int noExternalCommand, int autoRefresh)
{
    std::string hosts = HostSections({
        {"live0", "a", "198.51.100.20", "255.255.255.0", "02:00:00:00:00:20"},
        {"silent0", "", "203.0.113.20", "255.255.255.0", ""},
        {"live1", "b", "198.51.100.21", "255.255.255.0", "02:00:00:00:00:21"},
        {"silent1", "", "203.0.113.21", "", "02:00:00:00:00:22"},
        {"live2", "", "198.51.100.22", "", ""},
        {"silent2", "c", "203.0.113.22", "255.255.255.0", ""},
        {"live3", "", "198.51.100.23", "255.255.255.0", "02:00:00:00:00:23"},
        {"silent3", "", "203.0.113.23", "255.255.255.0", ""},
    });
    // Two groups for the group commands: the first and the last host's.
    hosts.insert(hosts.find("[HOST_1]"), "GROUP=live\n");
    hosts += "GROUP=silent\n";
    return "[SETTING]\nINIT_REFRESH=1\nAUTO_REFRESH=" + std::to_string(autoRefresh) +
        "\nTIMER_INTERVAL=10\nICMP_TIME_OUT=" + std::to_string(timeOut) +
        "\nCOLLECT_HOST_ICMP_TIME_OUT=" + std::to_string(timeOut) +
        "\nPORT_NO=40009\nMAX_HOST_NUM=60\nENABLE_REMOTE_SHUTDOWN=1\nNO_EXTERNAL_COMMAND=" +
        std::to_string(noExternalCommand) + "\n" + hosts;
}

// This computer's address in the lab, and a shutdown that takes a moment.
WorkServices LabServices()
{
    WorkServices services;
    services.local.localHostAddress = [] { return TextToIp("198.51.100.1"); };
    services.shutdownRunner = [](const std::vector<std::string>& argv) {
        std::this_thread::sleep_for(std::chrono::milliseconds(argv.size() * 5));
        return argv.size() % 2 == 0 ? 0 : 1;
    };
    return services;
}

// Clicks what starts the dialog's question (a lookup, an echo).
void StartLookup(QDialog& dialog)
{
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        const QString name = button->objectName();
        if (button->isEnabled() && name != "okButton" && name != "cancelButton")
            button->click();
    }
}

unsigned StressSeconds()
{
    const char* text = std::getenv("PONDEL_STRESS_SECONDS");
    const int seconds = text != nullptr ? std::atoi(text) : 0;
    return seconds > 0 ? static_cast<unsigned>(seconds) : 30;
}

} // namespace

class WindowUnderLoadTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        lab_ = std::make_unique<TestNetwork>();
        const auto& live = lab_->AddPeer(
            {"198.51.100.1", 24, "02:00:00:00:00:01"}, {"198.51.100.20", 24, "02:00:00:00:00:20"});
        for (const char* address : {"198.51.100.21/24", "198.51.100.22/24", "198.51.100.23/24",
                 "198.51.100.30/24", "198.51.100.31/24"})
            TestNetwork::RunIn(live.ns, {"addr", "add", address, "dev", live.peerIf});
        const auto& silent = lab_->AddPeer({"203.0.113.1", 24, ""}, {"203.0.113.20", 24, ""});
        WriteSysctl(silent.ns, "net/ipv4/icmp_echo_ignore_all", "1");

        const char* given = std::getenv("PONDEL_STRESS_SEED");
        const auto seed = given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10))
                                           : std::random_device{}();
        std::printf("seed %u (set PONDEL_STRESS_SEED to repeat)\n", seed);
        random_.seed(seed);
    }
    void cleanupTestCase() { lab_.reset(); }

    void init()
    {
        ModalSeam::Reset();
        ModalSeam::SetUnattended(true);
    }

    void everyCommandInRandomOrderDuringPassesAndSweeps()
    {
        const unsigned seconds = StressSeconds();
        const Watchdog watchdog(std::chrono::seconds(seconds + 120), "the command stress");
        WindowFixture fixture(Settings(300, Draw(2), 1));
        CPondelDlg& window = fixture.Open();
        window.show();
        window.UseWorkServices(LabServices());
        // Passes every second rather than every ten, the shortest interval
        // a user can set, until a command starts the timer anew.
        window.findChild<QTimer*>(QStringLiteral("autoRefreshTimer"))->start(1000);
        QCoreApplication::processEvents();

        std::vector<CommandId> commands;
        for (const CommandEntry& entry : Commands())
            if (entry.id != CommandId::kExitApplication)
                commands.push_back(entry.id);
        // Rounds of every command in a fresh random order, the first one
        // whole however short the time. The heartbeat measures how long the
        // window's event loop stood still meanwhile.
        const Heartbeat heartbeat;
        int runs = 0;
        Clock::duration slowest{};
        const char* slowestCommand = "";
        const auto end = Clock::now() + std::chrono::seconds(seconds);
        for (int round = 0; round == 0 || Clock::now() < end; ++round) {
            std::shuffle(commands.begin(), commands.end(), random_);
            for (std::size_t i = 0; i < commands.size() && (round == 0 || Clock::now() < end);
                 ++i) {
                AnswerAtRandom(fixture);
                SelectAtRandom(window);
                const auto started = Clock::now();
                if (Command(commands[i]).itemHandler != nullptr) {
                    // A submenu's command, for one of its names or one gone
                    // since the submenu opened.
                    std::vector<std::string> names = window.GroupNames();
                    names.emplace_back("gone");
                    window.RunCommand(commands[i], names[Draw(names.size())]);
                } else {
                    window.RunCommand(commands[i]);
                }
                if (Clock::now() - started > slowest) {
                    slowest = Clock::now() - started;
                    slowestCommand = Command(commands[i]).text;
                }
                ++runs;
                auto* progress = window.findChild<CCollectProcDlg*>("collectProcDlg");
                if (progress != nullptr && progress->isVisible() && Draw(8) == 0)
                    Click(*progress, "stopButton");
                QTest::qWait(static_cast<int>(Draw(40)));
            }
        }
        std::printf("%d commands run; the event loop stood still for %lld ms at most; the "
                    "slowest command, %s, took %lld ms\n",
            runs, static_cast<long long>(heartbeat.Longest().count()), slowestCommand,
            static_cast<long long>(
                std::chrono::duration_cast<std::chrono::milliseconds>(slowest).count()));

        // A sweep may still run; the exit command ends it and saves.
        ModalSeam::Reset();
        ModalSeam::SetUnattended(true);
        window.RunCommand(CommandId::kExitApplication);
        QTRY_VERIFY(!window.isVisible());
        const Texts rows = WindowRows(window);
        QCOMPARE(rows, ListRows(fixture.hosts));
        QCOMPARE(SavedRows(fixture), rows);
    }

    void closingDuringAPassASweepOrALookupIsQuickAndSavesEveryRow()
    {
        const Watchdog watchdog(300s, "closing during work");
        // One probe timeout, and room for a loaded machine and the sanitizers.
        const auto bound = std::chrono::milliseconds(kProbeTimeOut) + 1500ms;
        Clock::duration longest{};
        for (int round = 0; round < 9; ++round) {
            ModalSeam::Reset();
            ModalSeam::SetUnattended(true);
            WindowFixture fixture(Settings(kProbeTimeOut, Draw(2), 0));
            CPondelDlg& window = fixture.Open();
            window.show();
            window.UseWorkServices(LabServices());
            QCoreApplication::processEvents();

            Clock::duration took{};
            const auto closeNow = [&] {
                QTest::qWait(static_cast<int>(Draw(kProbeTimeOut)));
                const auto start = Clock::now();
                window.close();
                took = Clock::now() - start;
            };
            const int work = round % 3;
            if (work == 0) {
                window.RunCommand(CommandId::kRefresh);
                closeNow();
            } else if (work == 1) {
                QueueSweep();
                window.RunCommand(CommandId::kCollectHosts);
                QVERIFY(window.IsCollectRunning());
                closeNow();
            } else {
                window.HostListView()->selectRow(static_cast<int>(Draw(8)));
                ModalSeam::SetNextDialog([&](QDialog& lookup) {
                    StartLookup(lookup);
                    closeNow();
                    return int{QDialog::Rejected};
                });
                const CommandId lookups[] = {
                    CommandId::kGetIpAddress, CommandId::kGetMacAddress, CommandId::kGetHostName};
                window.RunCommand(lookups[Draw(3)]);
            }
            QVERIFY2(!window.isVisible(), qPrintable(QString::number(round)));
            QVERIFY2(took < bound,
                qPrintable(
                    QStringLiteral("round %1 (work %2) took %3 ms")
                        .arg(round)
                        .arg(work)
                        .arg(std::chrono::duration_cast<std::chrono::milliseconds>(took).count())));
            longest = std::max(longest, took);
            const Texts rows = WindowRows(window);
            QCOMPARE(SavedRows(fixture), rows);
            QCOMPARE(ListRows(fixture.hosts), rows);
        }
        std::printf("longest close %lld ms\n",
            static_cast<long long>(
                std::chrono::duration_cast<std::chrono::milliseconds>(longest).count()));
    }

private:
    std::size_t Draw(std::size_t count)
    {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random_);
    }

    // The range dialog over the lab, then Yes to the question.
    void QueueSweep()
    {
        ModalSeam::SetNextDialog([](QDialog& dialog) {
            SetSweepRange(dialog);
            dialog.accept();
            return dialog.result();
        });
        ModalSeam::SetNextAnswer(ModalSeam::Answer::kYes);
    }
    static void SetSweepRange(QDialog& dialog)
    {
        Part<QLineEdit>(dialog, "startAddressEdit")->setText(kSweepStart);
        Part<QLineEdit>(dialog, "endAddressEdit")->setText(kSweepEnd);
    }

    // Whatever the next command opens gets a random answer: a question Yes
    // or No, a file name or none, a dialog filled and confirmed or cancelled.
    void AnswerAtRandom(const WindowFixture& fixture)
    {
        ModalSeam::Reset();
        ModalSeam::SetUnattended(true);
        const bool yes = Draw(2) == 0;
        const std::string file =
            (fixture.folder / (Draw(2) == 0 ? "hosts.csv" : "other.csv")).string();
        ModalSeam::SetNextFileName(
            Draw(3) == 0 ? std::nullopt : std::optional(QString::fromStdString(file)));
        // Sweeps are started more often than they would be at random.
        const bool sweep = Draw(3) == 0;
        ModalSeam::SetNextAnswer(yes || sweep ? ModalSeam::Answer::kYes : ModalSeam::Answer::kNo);
        const std::size_t last = Draw(25) + 20;
        ModalSeam::SetNextDialog([this, yes, sweep, last](QDialog& dialog) {
            if (dialog.objectName() == "collectHostDlg") {
                SetSweepRange(dialog);
                if (sweep || yes)
                    dialog.accept();
                else
                    dialog.reject();
                return dialog.result();
            }
            if (dialog.objectName() == "hostEditDialog" && yes) {
                const std::string ip = "198.51.100." + std::to_string(last);
                return FillHostEdit({"added" + std::to_string(last), "", ip, "", ""})(dialog);
            }
            if (qobject_cast<LookupDialog*>(&dialog) != nullptr) {
                StartLookup(dialog);
                QTest::qWait(static_cast<int>(Draw(200)));
            }
            if (yes)
                dialog.accept();
            else
                dialog.reject();
            return dialog.result();
        });
    }

    void SelectAtRandom(CPondelDlg& window)
    {
        QTableView* view = window.HostListView();
        const int count = window.HostRows()->rowCount();
        if (Draw(4) == 0 || count == 0) {
            view->clearSelection();
            return;
        }
        const int first = static_cast<int>(Draw(static_cast<std::size_t>(count)));
        const int last = std::min(count - 1, first + static_cast<int>(Draw(3)));
        view->selectionModel()->select(
            QItemSelection(window.HostRows()->index(first, 0), window.HostRows()->index(last, 0)),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    std::unique_ptr<TestNetwork> lab_;
    std::mt19937 random_;
};

} // namespace pondel::test

PONDEL_NETWORK_UI_TEST_MAIN(
    pondel::test::WindowUnderLoadTest, "pondel-lab", "127.0.0.1 localhost\n198.51.100.20 live0\n")
#include "WindowUnderLoadTest.moc"
