// The window's wake-ups through the command table: what goes out, what the
// status bar and the Last Wake view say, and what is told about failures.
// The packets go to a stand-in sender.
#include <cerrno>
#include <mutex>
#include <string>
#include <vector>

#include <QElapsedTimer>
#include <QLabel>
#include <QTableWidget>
#include <QTest>

#include "CLastWakeDlg.h"
#include "DialogDriving.h"
#include "FakeWorkServices.h"
#include "HostTableModel.h"
#include "ModalSeam.h"
#include "UiTestSupport.h"

namespace pondel::test {
namespace {

const std::string kQuiet = "[SETTING]\nINIT_REFRESH=0\nAUTO_REFRESH=0\n";

const std::string kFourHosts = HostSections({
    {"alpha", "", "192.0.2.1", "255.255.255.0", "02:00:00:00:00:01"},
    {"beta", "", "192.0.2.2", "255.255.255.0", "02:00:00:00:00:02"},
    {"gamma", "", "192.0.2.3", "255.255.255.0", "02:00:00:00:00:03"},
    {"delta", "", "192.0.2.4", "255.255.255.0", ""},
});

// Sends nothing: each path of a request gives one line per port and round,
// the raw frame one per round, which it skips for want of privileges.
// Requests for `failing` fail with ENETUNREACH.
class FakeSender {
public:
    WakeReport Send(const WakeRequest& request)
    {
        {
            const std::scoped_lock lock(lock_);
            ++requests_;
        }
        WakeReport report;
        for (unsigned round = 1; round <= request.repeats; ++round) {
            for (unsigned bit = 0; bit < 5; ++bit) {
                const auto path = static_cast<WakePath>(bit);
                if ((request.paths & PathBit(path)) == 0)
                    continue;
                const bool raw = path == WakePath::kRawFrame;
                for (std::size_t port = 0; port < (raw ? 1 : request.ports.size()); ++port)
                    report.lines.push_back(
                        Line(request, path, raw ? 0 : request.ports[port], round));
            }
        }
        return report;
    }

    int Requests()
    {
        const std::scoped_lock lock(lock_);
        return requests_;
    }

    std::uint32_t failing = 0;

private:
    WakeSendLine Line(const WakeRequest& request, WakePath path, std::uint16_t port, unsigned round)
    {
        WakeSendLine line;
        line.path = path;
        line.destination = IpToText(request.ip);
        line.port = port;
        line.interfaceName = request.interfaceName;
        line.round = round;
        line.state = WakeSendState::kSent;
        if (path == WakePath::kRawFrame) {
            line.state = WakeSendState::kSkipped;
            line.reason = "no packet socket";
        } else if (request.ip == failing) {
            line.state = WakeSendState::kFailed;
            line.systemError = ENETUNREACH;
            line.reason = "Network is unreachable";
        }
        return line;
    }

    std::mutex lock_;
    int requests_ = 0;
};

QTableWidget* LastWakeTable(CPondelDlg& window)
{
    window.RunCommand(CommandId::kLastWake);
    auto* view = window.findChild<CLastWakeDlg*>(QStringLiteral("lastWakeDialog"));
    return view == nullptr ? nullptr : Part<QTableWidget>(*view, "lastWakeTable");
}

} // namespace

class WakeWindowTest final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ModalSeam::Reset();
        ModalSeam::SetUnattended(true);
    }

    // settings, selected rows, broadcast or not, what pane 0 says after,
    // the lines of the Last Wake view, and the message boxes.
    void aWakeTellsWhatWentOut_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<bool>("broadcast");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("the defaults: one datagram")
            << "" << QList<int>{2} << true << "gamma: 1 packet on 1 path" << 1 << QStringList{};
        QTest::newRow("every path, two ports, three rounds")
            << "WAKE_PATHS=30\nWAKE_EXTRA_PORTS=9\nWAKE_REPEAT_COUNT=3\nWAKE_REPEAT_INTERVAL=1\n"
            << QList<int>{2} << true << "gamma: 24 packets on 4 paths, 3 skipped" << 27
            << QStringList{};
        QTest::newRow("two hosts without broadcast")
            << "" << QList<int>{1, 2} << false << "2 hosts: 2 packets on 1 path" << 2
            << QStringList{};
        QTest::newRow("a host that fails is told with the system's reason")
            << "" << QList<int>{0} << true << "alpha: 0 packets on 0 paths, 1 failed" << 1
            << QStringList{"sendto(): Network is unreachable"};
        QTest::newRow("a host without MAC beside one that goes")
            << "" << QList<int>{2, 3} << true << "gamma: 1 packet on 1 path" << 1
            << QStringList{"These hosts could not be woken:\nIt is illegal MAC address: delta"};
    }
    void aWakeTellsWhatWentOut()
    {
        QFETCH(QString, settings);
        QFETCH(QList<int>, rows);
        QFETCH(bool, broadcast);
        QFETCH(QString, status);
        QFETCH(int, lines);
        QFETCH(QStringList, shown);
        FakeProbes probes({});
        FakeSender sender;
        sender.failing = TextToIp("192.0.2.1");
        WindowFixture fixture(kQuiet + settings.toStdString() + kFourHosts);
        WorkServices services = FakeServices(probes);
        services.wake.sendWake = [&sender](const WakeRequest& request, std::stop_token) {
            return sender.Send(request);
        };
        CPondelDlg& window = fixture.Open(services);

        SelectRows(window, {});
        for (const int row : rows)
            window.HostListView()->selectionModel()->select(window.HostRows()->index(row, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        window.RunCommand(broadcast ? CommandId::kWakeUp : CommandId::kWakeUpNonBroadcast);
        QTRY_COMPARE(window.StatusText(StatusPane::kGeneral), status);
        QCOMPARE(ModalSeam::ShownTexts(), shown);
        QTableWidget* table = LastWakeTable(window);
        QVERIFY(table != nullptr);
        QCOMPARE(table->rowCount(), lines);
        const QString first = status.section(':', 0, 0);
        QCOMPARE(table->item(0, 0)->text(), first == "2 hosts" ? QStringLiteral("beta") : first);
    }

    // The command returns before the packets are out, the view follows each
    // new wake-up while it is open, and a closing window ends a wake-up in
    // progress without acting on it.
    void theWindowNeverWaitsForTheSender()
    {
        FakeProbes probes({});
        FakeSender sender;
        std::mutex gate;
        WindowFixture fixture(kQuiet + kFourHosts);
        // Given back before the window goes, should the test end early.
        std::unique_lock held(gate);
        WorkServices services = FakeServices(probes);
        services.wake.sendWake = [&](const WakeRequest& request, std::stop_token) {
            const std::scoped_lock wait(gate);
            return sender.Send(request);
        };
        CPondelDlg& window = fixture.Open(services);
        QTableWidget* table = LastWakeTable(window);
        QCOMPARE(table->rowCount(), 0);

        SelectRows(window, {0, 1, 2});
        QElapsedTimer command;
        command.start();
        window.RunCommand(CommandId::kWakeUp);
        QVERIFY(command.elapsed() < 200);
        QTest::qWait(50);
        QCOMPARE(window.StatusText(StatusPane::kGeneral), QString());
        QCOMPARE(fixture.Value("SETTING", "DEFAULT_HOST"), "<missing>");
        held.unlock();
        QTRY_COMPARE(table->rowCount(), 3);
        QCOMPARE(fixture.Value("SETTING", "DEFAULT_HOST"), "0");

        held.lock();
        window.RunCommand(CommandId::kWakeUp);
        QTRY_VERIFY(sender.Requests() >= 3);
        held.unlock();
        QVERIFY(window.close());
        QCOMPARE(fixture.Value("SETTING", "DEFAULT_HOST"), "0");
    }

    // The interface and the SecureOn password are not in the list's
    // columns; editing a host keeps them, and they reach its request.
    void editingAHostKeepsItsWakeOptions()
    {
        FakeProbes probes({});
        WindowFixture fixture(kQuiet + kFourHosts);
        SetField(fixture.hosts[1].interfaceName, "eth1");
        WorkServices services = FakeServices(probes);
        std::mutex lock;
        WakeRequest seen;
        services.wake.sendWake = [&](const WakeRequest& request, std::stop_token) {
            const std::scoped_lock held(lock);
            seen = request;
            return FakeSender().Send(request);
        };
        CPondelDlg& window = fixture.Open(services);

        SelectRows(window, {1});
        QString shownInterface;
        ModalSeam::SetNextDialog([&](QDialog& dialog) {
            shownInterface = FieldText(dialog, "interfaceEdit");
            Type(dialog, "commentEdit", "renamed");
            Type(dialog, "secureOnEdit", "0a0b0c0d0e0f");
            Click(dialog, "okButton");
            return dialog.result();
        });
        window.RunCommand(CommandId::kEdit);
        QCOMPARE(shownInterface, "eth1");
        window.RunCommand(CommandId::kWakeUp);
        QTRY_COMPARE(window.StatusText(StatusPane::kGeneral), "beta: 1 packet on 1 path");
        {
            const std::scoped_lock held(lock);
            QCOMPARE(seen.interfaceName, "eth1");
            QVERIFY(seen.secureOn == (SecureOnPassword{10, 11, 12, 13, 14, 15}));
        }
        QVERIFY(window.close());
        QCOMPARE(fixture.Value("HOST_1", "INTERFACE"), "eth1");
        QCOMPARE(fixture.Value("HOST_1", "SECURE_ON"), "0A:0B:0C:0D:0E:0F");
        QCOMPARE(fixture.Value("HOST_0", "INTERFACE"), "<missing>");
    }
};

} // namespace pondel::test

QTEST_MAIN(pondel::test::WakeWindowTest)
#include "WakeWindowTest.moc"
