// The window's status pass over a namespace network with the real probes,
// by both methods: the wake-up and the sweep on real links are the work
// loops' own tests (WakeCommandsWireTest, AddressSweepLabTest).
#include <string>
#include <vector>

#include <QTableView>
#include <QTest>

#include "HostTableModel.h"
#include "ModalSeam.h"
#include "NetworkUiTestMain.h"
#include "TestNetwork.h"
#include "UiTestSupport.h"

namespace pondel::test {
namespace {

std::string Settings(int noExternalCommand)
{
    return "[SETTING]\nINIT_REFRESH=0\nAUTO_REFRESH=0\nICMP_TIME_OUT=300\nNO_EXTERNAL_COMMAND=" +
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
};

} // namespace pondel::test

PONDEL_NETWORK_UI_TEST_MAIN(pondel::test::NetworkCommandsTest, "pondel-lab", "127.0.0.1 localhost\n")
#include "NetworkCommandsTest.moc"
