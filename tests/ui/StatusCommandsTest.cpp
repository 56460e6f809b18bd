// Status passes, Active Check, the wake-up commands and remote shutdown,
// driven through the window's commands with stand-in probes and network.
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QTableView>
#include <QTimer>
#include <QTest>
#include <QToolBar>

#include "FakeWorkServices.h"
#include "CommandSurfaces.h"
#include "HostTableModel.h"
#include "ModalSeam.h"
#include "UiTestSupport.h"

namespace pondel::test {
namespace {

// No pass at the first paint and no timer, unless a test asks for them.
const std::string kQuiet = "[SETTING]\nINIT_REFRESH=0\nAUTO_REFRESH=0\n";

const std::string kFourHosts = HostSections({
    {"alpha", "", "192.0.2.1", "255.255.255.0", "02:00:00:00:00:01"},
    {"beta", "", "192.0.2.2", "255.255.255.0", "02:00:00:00:00:02"},
    {"gamma", "", "192.0.2.3", "255.255.255.0", "02:00:00:00:00:03"},
    {"delta", "", "192.0.2.4", "255.255.255.0", "02:00:00:00:00:04"},
});

QString Progress(int done, int total)
{
    return QStringLiteral("During  active status updates : %1 / %2").arg(done).arg(total);
}

// Every magic packet the window asks to send.
struct SentPacket {
    std::string ip;
    std::string netMask;
    bool broadcast = false;
};

} // namespace

class StatusCommandsTest final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ModalSeam::Reset();
        ModalSeam::SetUnattended(true);
    }

    void aPassMarksExactlyTheLiveHostsAndShowsItsProgress_data()
    {
        QTest::addColumn<int>("markType");
        QTest::newRow("image marks") << 0;
        QTest::newRow("text marks") << 1;
    }
    void aPassMarksExactlyTheLiveHostsAndShowsItsProgress()
    {
        QFETCH(int, markType);
        FakeProbes probes({"192.0.2.2", "192.0.2.4"});
        WindowFixture fixture(
            kQuiet + "ACTIVE_MARK_TYPE=" + std::to_string(markType) + "\n" + kFourHosts);
        CPondelDlg& window = fixture.Open(FakeServices(probes));

        probes.HoldAt("192.0.2.1");
        window.RunCommand(CommandId::kRefresh);
        QVERIFY(probes.WaitUntilHeld());
        QTRY_COMPARE(window.StatusText(StatusPane::kProgress), Progress(0, 4));
        probes.Release();
        QTRY_COMPARE(Marks(window), (std::vector<int>{0, 1, 0, 1}));
        QTRY_COMPARE(window.StatusText(StatusPane::kProgress), QString());
        if (markType == 1) {
            QCOMPARE(window.HostRows()->index(1, 0).data().toString(),
                QString::fromStdString(fixture.settings.activeMarkText));
            QCOMPARE(window.HostRows()->index(0, 0).data().toString(), QString());
        }

        // The next pass follows the hosts that went down and came up.
        probes.SetLive({"192.0.2.1"});
        window.RunCommand(CommandId::kRefresh);
        QTRY_COMPARE(Marks(window), (std::vector<int>{1, 0, 0, 0}));
    }

    // A host that answers only ARP is up with a mark of its own; an address
    // another MAC answers for is flagged; the tooltips say which MAC and
    // vendor answered and which was expected.
    void linkAnswersGetMarksAndTooltipsOfTheirOwn_data()
    {
        aPassMarksExactlyTheLiveHostsAndShowsItsProgress_data();
    }
    void linkAnswersGetMarksAndTooltipsOfTheirOwn()
    {
        QFETCH(int, markType);
        const TemporaryDirectory registry;
        WriteTextFile(registry / "oui.csv", "MA-L,020000,Lab Boards,\n");
        FakeProbes probes({"192.0.2.2", "192.0.2.4"});
        probes.linkMacs = {{"192.0.2.1", "02:00:00:00:00:01"}, {"192.0.2.2", "02:00:00:00:00:99"}};
        WindowFixture fixture(kQuiet + "ACTIVE_MARK_TYPE=" + std::to_string(markType) +
            "\nVENDOR_REGISTRY_FOLDER=" + registry.Path().string() + "\n" + kFourHosts);
        CPondelDlg& window = fixture.Open(FakeServices(probes));

        window.RunCommand(CommandId::kRefresh);
        QTRY_COMPARE(Marks(window), (std::vector<int>{1, 0, 0, 1}));
        const auto cell = [&](int row, int role) {
            return window.HostRows()->index(row, 0).data(role);
        };
        QTRY_COMPARE(cell(0, Qt::ToolTipRole).toString(),
            QStringLiteral("Running, but does not answer ping: 02:00:00:00:00:01 (Lab Boards) "
                           "answered ARP"));
        QCOMPARE(cell(1, Qt::ToolTipRole).toString(),
            QStringLiteral("Another machine answers for this address: 02:00:00:00:00:99 (Lab "
                           "Boards) answered, 02:00:00:00:00:02 (Lab Boards) expected"));
        QCOMPARE(
            cell(3, Qt::ToolTipRole).toString(), QStringLiteral("02:00:00:00:00:04 (Lab Boards)"));
        if (markType == 0) {
            const auto image = [&](int row) {
                return cell(row, Qt::DecorationRole).value<QPixmap>().toImage();
            };
            QVERIFY(image(0) != image(3)); // up without ping, beside up
            QVERIFY(image(1) != image(2)); // another machine, beside down
        } else {
            QCOMPARE(cell(1, Qt::DisplayRole).toString(), QStringLiteral(" ! "));
            QVERIFY(cell(0, Qt::BackgroundRole) != cell(3, Qt::BackgroundRole));
        }
    }

    void activeCheckProbesExactlyTheSelectedRowsInOrder()
    {
        FakeProbes probes({"192.0.2.1", "192.0.2.2", "192.0.2.3", "192.0.2.4"});
        WindowFixture fixture(kQuiet + kFourHosts);
        CPondelDlg& window = fixture.Open(FakeServices(probes));

        SelectRows(window, {3, 0, 2});
        window.RunCommand(CommandId::kActiveCheck);
        QTRY_COMPARE(Marks(window), (std::vector<int>{1, 0, 1, 1}));
        QCOMPARE(
            probes.Probed(), (std::vector<std::string>{"192.0.2.1", "192.0.2.3", "192.0.2.4"}));
    }

    void activeCheckOfSilentHostsLeavesTheWindowRunning()
    {
        // Each probe takes a second, as a silent host does with a 1 s timeout.
        FakeProbes probes({"192.0.2.2"}, std::chrono::milliseconds(1000));
        WindowFixture fixture(kQuiet + kFourHosts);
        CPondelDlg& window = fixture.Open(FakeServices(probes));

        SelectRows(window, {0, 1, 2, 3});
        QElapsedTimer command;
        command.start();
        window.RunCommand(CommandId::kActiveCheck);
        QVERIFY2(command.elapsed() < 200, qPrintable(QString::number(command.elapsed())));
        // The event loop keeps turning while the probes wait.
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(10);
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 20, 1000);
        QCOMPARE(Marks(window), (std::vector<int>{0, 0, 0, 0}));
        QTRY_COMPARE_WITH_TIMEOUT(Marks(window), (std::vector<int>{0, 1, 0, 0}), 10000);
    }

    void withoutAnIcmpSocketAPassShowsTheMessageOnceWithWhatToDo()
    {
        FakeProbes probes({"192.0.2.1"});
        WindowFixture fixture(kQuiet + kFourHosts);
        probes.openError = "ICMP_Init(): error:(13)Permission denied";
        CPondelDlg& window = fixture.Open(FakeServices(probes));

        window.RunCommand(CommandId::kRefresh);
        QTRY_COMPARE(ModalSeam::ShownTexts().size(), 1);
        QTest::qWait(100);
        const QStringList shown = ModalSeam::ShownTexts();
        QCOMPARE(shown.size(), 1);
        const QStringList lines = shown[0].split('\n');
        QCOMPARE(lines[0], QStringLiteral("ICMP_Init(): error:(13)Permission denied"));
        QVERIFY(lines.value(1).contains("net.ipv4.ping_group_range"));
        QVERIFY(lines.value(1).contains("Do not use the external command"));
        QCOMPARE(Marks(window), (std::vector<int>{0, 0, 0, 0}));
        QTRY_COMPARE(window.StatusText(StatusPane::kProgress), QString());

        // Active Check of several rows is one check, told once.
        SelectRows(window, {0, 1});
        window.RunCommand(CommandId::kActiveCheck);
        QTRY_COMPARE(ModalSeam::ShownTexts().size(), 2);
    }

    void theFirstShowingAsksForAPassWhenInitRefreshIsSet()
    {
        FakeProbes probes({"192.0.2.3"});
        WindowFixture fixture("[SETTING]\nINIT_REFRESH=1\nAUTO_REFRESH=0\n" + kFourHosts);
        CPondelDlg& window = fixture.Open(FakeServices(probes));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE(Marks(window), (std::vector<int>{0, 0, 1, 0}));
    }

    void autoRefreshStartAsksForAPassAndTheToolbarFollows()
    {
        FakeProbes probes({"192.0.2.1"});
        WindowFixture fixture(kQuiet + kFourHosts);
        CPondelDlg& window = fixture.Open(FakeServices(probes));
        QAction* start = window.Surfaces().ToolbarAction(CommandId::kAutoRefreshStart);
        QAction* stop = window.Surfaces().ToolbarAction(CommandId::kAutoRefreshStop);
        QVERIFY(start->isEnabled() && !stop->isEnabled());

        window.RunCommand(CommandId::kAutoRefreshStart);
        QVERIFY(!start->isEnabled() && stop->isEnabled());
        QTRY_COMPARE(Marks(window), (std::vector<int>{1, 0, 0, 0}));
        QCOMPARE(fixture.settings.autoRefresh, 1u);
        window.RunCommand(CommandId::kAutoRefreshStop);
        QVERIFY(start->isEnabled() && !stop->isEnabled());
        QCOMPARE(fixture.settings.autoRefresh, 0u);
    }

    void wakeUpSendsToTheSelectedRowsAndRemembersTheFirst()
    {
        FakeProbes probes({});
        WindowFixture fixture(kQuiet + kFourHosts);
        std::mutex sentLock;
        std::vector<SentPacket> sent;
        const auto sentCount = [&] {
            const std::scoped_lock lock(sentLock);
            return sent.size();
        };
        WorkServices services = FakeServices(probes);
        services.wake.sendWake = [&](const WakeRequest& request, std::stop_token) {
            const std::scoped_lock lock(sentLock);
            sent.push_back({IpToText(request.ip), IpToText(request.netMask),
                (request.paths & PathBit(WakePath::kDirectedBroadcast)) != 0});
            WakeSendLine line;
            line.state = WakeSendState::kSent;
            return WakeReport{{line}};
        };
        CPondelDlg& window = fixture.Open(services);

        SelectRows(window, {2});
        window.RunCommand(CommandId::kWakeUp);
        QTRY_COMPARE(sentCount(), std::size_t{1});
        QCOMPARE(sent[0].ip, "192.0.2.3");
        QVERIFY(sent[0].broadcast);
        // Written once the packets are out, not only when the window closes.
        QTRY_COMPARE(fixture.Value("SETTING", "DEFAULT_HOST"), "2");
        // One host woken: it alone is probed again, at once.
        QTRY_COMPARE(probes.Probed(), std::vector<std::string>{"192.0.2.3"});
        QCOMPARE(window.CurrentHost().hostName, "gamma");

        SelectRows(window, {1, 3});
        window.RunCommand(CommandId::kWakeUpNonBroadcast);
        QTRY_COMPARE(sentCount(), std::size_t{3});
        QVERIFY(!sent[1].broadcast && !sent[2].broadcast);
        QTRY_COMPARE(fixture.Value("SETTING", "DEFAULT_HOST"), "1");
        // Two hosts: a whole pass instead.
        QTRY_COMPARE(probes.Probed().size(), std::size_t{5});
        QCOMPARE(ModalSeam::ShownTexts(), QStringList{});

        // The settings file becomes a folder: the host cannot be remembered.
        std::filesystem::remove(fixture.Path());
        std::filesystem::create_directory(fixture.Path());
        window.RunCommand(CommandId::kWakeUp);
        QTRY_COMPARE(ModalSeam::ShownTexts().size(), 1);
        QVERIFY(ModalSeam::ShownTexts()[0].startsWith("The settings could not be saved"));
        std::filesystem::remove(fixture.Path());
    }

    // How the template becomes a command, without a shell, is
    // ShutdownCommandsTest's; here the window asks, runs each row once and
    // tells each failure.
    void shutdownAsksThenRunsEachSelectedRowAndTellsEachFailure()
    {
        FakeProbes probes({});
        WindowFixture fixture(kQuiet + kFourHosts);
        fixture.settings.shutdownCommand = "tool %s";
        std::vector<std::vector<std::string>> runs;
        WorkServices services = FakeServices(probes);
        services.shutdownRunner = [&runs](const std::vector<std::string>& argv) {
            runs.push_back(argv);
            return 1;
        };
        CPondelDlg& window = fixture.Open(services);

        SelectRows(window, {3, 1});
        ModalSeam::SetNextAnswer(ModalSeam::Answer::kYes);
        window.RunCommand(CommandId::kShutdownHost);
        QTRY_COMPARE_WITH_TIMEOUT(ModalSeam::ShownTexts().size(), 3, 10000);
        QCOMPARE(ModalSeam::ShownTexts(),
            (QStringList{"Shut down the selected host.\nDo you really want?",
                "Remote Shutdown failed", "Remote Shutdown failed"}));
        QCOMPARE(runs,
            (std::vector<std::vector<std::string>>{{"tool", "192.0.2.2"}, {"tool", "192.0.2.4"}}));
        QCOMPARE(window.CurrentHost().hostName, "delta");
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);

        // No: nothing runs.
        window.RunCommand(CommandId::kShutdownHost);
        QTest::qWait(100);
        QCOMPARE(ModalSeam::ShownTexts().size(), 4);
        QCOMPARE(runs.size(), std::size_t{2});
    }
};

} // namespace pondel::test

QTEST_MAIN(pondel::test::StatusCommandsTest)
#include "StatusCommandsTest.moc"
