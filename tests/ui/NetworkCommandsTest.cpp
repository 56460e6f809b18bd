// The window's status passes, wake-up and sweep over namespace networks,
// with the real probes and sockets.
#include <chrono>
#include <string>
#include <vector>

#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include "HostTableModel.h"
#include "Ipv4Text.h"
#include "ModalSeam.h"
#include "NetworkUiTestMain.h"
#include "TestNetwork.h"
#include "UiTestSupport.h"

namespace pondel::test {
namespace {

using namespace std::chrono_literals;

std::string Settings(int noExternalCommand)
{
    return "[SETTING]\nINIT_REFRESH=0\nAUTO_REFRESH=0\nICMP_TIME_OUT=300\n"
           "COLLECT_HOST_ICMP_TIME_OUT=300\nPORT_NO=40009\nNON_BROADCAST_DFLT=1\n"
           "NO_EXTERNAL_COMMAND=" +
        std::to_string(noExternalCommand) + "\n";
}

} // namespace

class NetworkCommandsTest final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ModalSeam::Reset();
        ModalSeam::SetUnattended(true);
    }

    void aPassMarksExactlyTheAnsweringHosts_data()
    {
        QTest::addColumn<int>("noExternalCommand");
        QTest::newRow("own echo") << 1;
        QTest::newRow("system ping") << 0;
    }
    void aPassMarksExactlyTheAnsweringHosts()
    {
        QFETCH(int, noExternalCommand);
        TestNetwork network;
        network.AddPeer({"198.51.100.1", 24, ""}, {"198.51.100.20", 24, ""});
        const auto& silent = network.AddPeer({"203.0.113.1", 24, ""}, {"203.0.113.20", 24, ""});
        WriteSysctl(silent.ns, "net/ipv4/icmp_echo_ignore_all", "1");

        WindowFixture fixture(Settings(noExternalCommand) + HostSections({
            {"silent", "", "203.0.113.20", "255.255.255.0", ""},
            {"live", "", "198.51.100.20", "255.255.255.0", ""},
            {"absent", "", "198.51.100.21", "255.255.255.0", ""},
            {"self", "", "198.51.100.1", "", ""},
        }));
        CPondelDlg& window = fixture.Open();
        QCoreApplication::processEvents();
        window.RunCommand(CommandId::kRefresh);
        QTRY_COMPARE_WITH_TIMEOUT(Marks(window), (std::vector<int>{0, 1, 0, 1}), 10000);
        QTRY_COMPARE(window.StatusText(1), QString());
        QCOMPARE(ModalSeam::ShownTexts(), QStringList{});
    }

    void wakeUpSendsToTheDirectedBroadcastAndNonBroadcastToTheHost()
    {
        TestNetwork network;
        const auto& peer = network.AddPeer({"198.51.100.1", 24, ""}, {"198.51.100.20", 24, ""});
        DatagramSink sink(peer.ns, 40009);
        WindowFixture fixture(Settings(1) + HostSections({
            {"other", "", "198.51.100.30", "255.255.255.0", "02:00:00:00:00:30"},
            {"peer", "", "198.51.100.20", "255.255.255.0", "02:00:00:00:00:20"},
        }));
        CPondelDlg& window = fixture.Open();
        QCoreApplication::processEvents();

        SelectRows(window, {1});
        window.RunCommand(CommandId::kWakeUp);
        auto received = sink.ReceiveAll(300ms);
        QCOMPARE(received.size(), std::size_t{1});
        QCOMPARE(received[0].destinationIp, "198.51.100.255");
        QCOMPARE(received[0].payload.size(), std::size_t{102});
        QCOMPARE(fixture.Value("SETTING", "DEFAULT_HOST"), "1");
        // The woken host is probed again at once.
        QCOMPARE(Marks(window), (std::vector<int>{0, 1}));

        window.RunCommand(CommandId::kWakeUpNonBroadcast);
        received = sink.ReceiveAll(300ms);
        QCOMPARE(received.size(), std::size_t{1});
        QCOMPARE(received[0].destinationIp, "198.51.100.20");
        QCOMPARE(ModalSeam::ShownTexts(), QStringList{});
    }

    void theSweepFindsExactlyTheLiveHostsWithTheirMacs_data()
    {
        aPassMarksExactlyTheAnsweringHosts_data();
    }
    void theSweepFindsExactlyTheLiveHostsWithTheirMacs()
    {
        QFETCH(int, noExternalCommand);
        TestNetwork network;
        const auto& peer = network.AddPeer(
            {"198.51.100.1", 24, "02:00:00:00:00:01"}, {"198.51.100.3", 24, "02:00:00:00:00:03"});
        TestNetwork::RunIn(peer.ns, {"addr", "add", "198.51.100.5/24", "dev", peer.peerIf});

        WindowFixture fixture(Settings(noExternalCommand) +
            HostSections({{"listed", "", "198.51.100.5", "255.255.255.0", ""}}));
        CPondelDlg& window = fixture.Open();
        QCoreApplication::processEvents();
        WorkServices services;
        services.local.localHostAddress = [] { return TextToIp("198.51.100.1"); };
        window.UseWorkServices(services);

        ModalSeam::SetNextDialog([](QDialog& dialog) {
            dialog.findChild<QLineEdit*>("startAddressEdit")->setText("198.51.100.2");
            dialog.findChild<QLineEdit*>("endAddressEdit")->setText("198.51.100.6");
            dialog.accept();
            return dialog.result();
        });
        ModalSeam::SetNextAnswer(ModalSeam::Answer::kYes);
        window.RunCommand(CommandId::kCollectHosts);
        QTRY_VERIFY_WITH_TIMEOUT(!window.IsCollectRunning(), 20000);
        const HostTableModel& rows = *window.HostRows();
        QCOMPARE(rows.rowCount(), 2);
        QCOMPARE(rows.index(1, 3).data().toString(), QStringLiteral("198.51.100.3"));
        QCOMPARE(rows.index(1, 4).data().toString(), QStringLiteral("255.255.255.0"));
        QCOMPARE(rows.index(1, 5).data().toString(), QStringLiteral("02:00:00:00:00:03"));
        QTRY_COMPARE_WITH_TIMEOUT(Marks(window), (std::vector<int>{1, 1}), 10000);
    }
};

} // namespace pondel::test

PONDEL_NETWORK_UI_TEST_MAIN(pondel::test::NetworkCommandsTest, "pondel-lab", "127.0.0.1 localhost\n")
#include "NetworkCommandsTest.moc"
