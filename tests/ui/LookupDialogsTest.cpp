// The lookup dialogs, and the window's status pass by both methods, over a
// namespace network with the real system services.
#include <memory>
#include <string>
#include <vector>

#include <QItemSelectionModel>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "CGetHostDlg.h"
#include "CGetIpDlg.h"
#include "CGetMacAddrDlg.h"
#include "CSendIcmpDlg.h"
#include "DialogDriving.h"
#include "HostTableModel.h"
#include "ModalSeam.h"
#include "NetworkUiTestMain.h"
#include "UiTestSupport.h"

namespace pondel::test {
namespace {

// Our side 198.51.100.1, this computer's name; the lab host .20 answers as
// "labhost"; nothing is at .77, so asking for its MAC address waits.
const char* const kOwnName = "pondel-lab";
const char* const kHostsFile = "127.0.0.1 localhost\n"
                               "198.51.100.1 pondel-lab\n"
                               "198.51.100.20 labhost\n";
const QString kLabMac = QStringLiteral("02:00:00:00:0A:02");
const QString kSilent = QStringLiteral("198.51.100.77");

const std::string kLabHosts = HostSections({
    {"labhost", "peer", "198.51.100.20", "255.255.255.0", ""},
});

const QString kNoAddress = QStringLiteral("Can not find the IP address of the host");
const QString kNoName = QStringLiteral("Can not find the host name of the IP address");
const QString kNoMac = QStringLiteral("Can not find the MAC address from the ARP command output");
const QString kNoHost = QStringLiteral("Please enter the IP address or host name");

void SelectRow(CPondelDlg& window, int row)
{
    window.HostListView()->selectionModel()->select(window.HostRows()->index(row, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool Shows(const QDialog& dialog, const char* button)
{
    return Part<QPushButton>(dialog, button)->isVisibleTo(&dialog);
}

} // namespace

class LookupDialogsTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        network_ = std::make_unique<TestNetwork>();
        network_->AddPeer(
            {"198.51.100.1", 24, "02:00:00:00:0a:01"}, {"198.51.100.20", 24, "02:00:00:00:0a:02"});
    }

    void cleanupTestCase() { network_.reset(); }

    void init()
    {
        ModalSeam::Reset();
        ModalSeam::SetUnattended(true);
    }

    void toolMenuDialogsAreToolsPrefilledFromTheFirstSelectedRow()
    {
        WindowFixture fixture(kLabHosts);
        // A host the file would not keep, as a paste can leave one.
        (void)fixture.hosts.Append(MakeHostInfo("byname", "", "", "", ""));
        CPondelDlg& window = fixture.Open();

        bool toolButtons = false;
        QString hostName = QStringLiteral("unset");
        ModalSeam::SetNextDialog([&](QDialog& dialog) {
            toolButtons = Shows(dialog, "getIpAddressButton") && !Shows(dialog, "okButton") &&
                Part<QPushButton>(dialog, "cancelButton")->text() == "Close";
            hostName = FieldText(dialog, "hostNameEdit");
            return int{QDialog::Rejected};
        });
        window.RunCommand(CommandId::kGetIpAddress);
        QVERIFY(toolButtons);
        QCOMPARE(hostName, QString());

        SelectRow(window, 0);
        QStringList prefills;
        const auto read = [&](const char* field) {
            return [&prefills, field](QDialog& dialog) {
                prefills.append(FieldText(dialog, field));
                return int{QDialog::Rejected};
            };
        };
        ModalSeam::SetNextDialog(read("hostNameEdit"));
        window.RunCommand(CommandId::kGetIpAddress);
        ModalSeam::SetNextDialog(read("hostEdit"));
        window.RunCommand(CommandId::kGetMacAddress);
        ModalSeam::SetNextDialog(read("ipAddressEdit"));
        window.RunCommand(CommandId::kGetHostName);
        ModalSeam::SetNextDialog(read("hostEdit"));
        window.RunCommand(CommandId::kSendIcmp);
        // A row without an address is looked up by its name.
        SelectRow(window, 1);
        ModalSeam::SetNextDialog(read("hostEdit"));
        window.RunCommand(CommandId::kGetMacAddress);
        QCOMPARE(prefills,
            QStringList({"labhost", "198.51.100.20", "198.51.100.20", "198.51.100.20", "byname"}));
        QCOMPARE(ModalSeam::ShownTexts(),
            QStringList({"Get IP Address", "Get IP Address", "Get MAC Address", "Get Host Name",
                "Send ICMP", "Get MAC Address"}));
    }

    // A failed lookup clears the answer shown, so that none from before can
    // be taken for the new question.
    void getIpAddressAnswersNamesAndClearsTheAddressOnFailure()
    {
        CGetIpDlg dialog;
        dialog.SetReturnMode(true);
        Type(dialog, "hostNameEdit", "LABHOST");
        Click(dialog, "getIpAddressButton");
        QVERIFY(WaitForLookup(dialog));
        QCOMPARE(dialog.IpAddress(), "198.51.100.20");

        Type(dialog, "hostNameEdit", "nosuch.invalid");
        Click(dialog, "getIpAddressButton");
        QVERIFY(WaitForLookup(dialog));
        QCOMPARE(ModalSeam::ShownTexts(), QStringList({kNoAddress}));
        QCOMPARE(dialog.IpAddress(), QString());
        QCOMPARE(dialog.result(), int{QDialog::Rejected});

        // OK after a failed lookup still closes, with no address.
        Click(dialog, "okButton");
        QVERIFY(WaitForLookup(dialog));
        QCOMPARE(ModalSeam::ShownTexts(), QStringList({kNoAddress, kNoAddress}));
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QCOMPARE(dialog.IpAddress(), QString());

        // An empty name stands for this computer.
        CGetIpDlg own;
        Click(own, "getIpAddressButton");
        QVERIFY(WaitForLookup(own));
        QCOMPARE(own.IpAddress(), "198.51.100.1");
    }

    void getHostNameAnswersAddressesAndClearsTheNameOnFailure()
    {
        CGetHostDlg dialog;
        dialog.SetReturnMode(true);
        dialog.SetIpAddress("198.51.100.20");
        Click(dialog, "getHostNameButton");
        QVERIFY(WaitForLookup(dialog));
        QCOMPARE(dialog.HostName(), "labhost");

        Type(dialog, "ipAddressEdit", "198.51.100.99");
        Click(dialog, "okButton");
        QVERIFY(WaitForLookup(dialog));
        QCOMPARE(ModalSeam::ShownTexts(), QStringList({kNoName}));
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QCOMPARE(dialog.HostName(), QString());
    }

    void getMacAddressAsksTheLinkByAddressOrName()
    {
        CGetMacAddrDlg dialog;
        dialog.SetReturnMode(true);
        Click(dialog, "getMacAddressButton");
        QCOMPARE(ModalSeam::ShownTexts(), QStringList({kNoHost}));
        QVERIFY(!dialog.IsBusy());

        Type(dialog, "hostEdit", "198.51.100.20");
        Click(dialog, "getMacAddressButton");
        QVERIFY(WaitForLookup(dialog));
        QCOMPARE(dialog.MacAddress(), kLabMac);

        // A name nobody knows goes on as typed, and no MAC comes back; OK
        // then leaves the dialog open.
        Type(dialog, "hostEdit", "nosuch");
        Click(dialog, "okButton");
        QVERIFY(WaitForLookup(dialog));
        QCOMPARE(ModalSeam::ShownTexts(), QStringList({kNoHost, kNoMac}));
        QCOMPARE(dialog.result(), int{QDialog::Rejected});
        QCOMPARE(dialog.MacAddress(), QString());

        // OK without Get first looks the host up and closes.
        CGetMacAddrDlg byName;
        byName.SetReturnMode(true);
        byName.SetHost("labhost");
        Click(byName, "okButton");
        QVERIFY(WaitForLookup(byName));
        QCOMPARE(byName.result(), int{QDialog::Accepted});
        QCOMPARE(byName.MacAddress(), kLabMac);
    }

    void sendIcmpSaysWhetherTheHostAnswered()
    {
        CSendIcmpDlg dialog;
        dialog.SetProbeSettings({500, ProbeMethod::kOwnEcho});
        QCOMPARE(dialog.windowTitle(), "Send ICMP");
        Click(dialog, "sendButton");
        QCOMPARE(ModalSeam::ShownTexts(), QStringList({kNoHost}));

        // Enter sends, and the dialog stays open.
        dialog.show();
        Type(dialog, "hostEdit", "labhost");
        QTest::keyClick(Part<QLineEdit>(dialog, "hostEdit"), Qt::Key_Return);
        QVERIFY(WaitForLookup(dialog));
        QCOMPARE(dialog.Status(), "Host labhost is alive.");
        QVERIFY(dialog.isVisible());

        Type(dialog, "hostEdit", kSilent);
        Click(dialog, "sendButton");
        QVERIFY(WaitForLookup(dialog));
        QCOMPARE(dialog.Status(), "Host 198.51.100.77 is not alive.");
    }

    void aLookupStillRunningWhenItsDialogClosesChangesNothing()
    {
        WindowFixture fixture(kLabHosts);
        CPondelDlg& window = fixture.Open();
        bool busyShown = false;
        ModalSeam::SetNextDialog([&](QDialog& dialog) {
            Type(dialog, "hostEdit", kSilent);
            Click(dialog, "getMacAddressButton");
            busyShown = static_cast<LookupDialog&>(dialog).IsBusy() &&
                !Part<QPushButton>(dialog, "getMacAddressButton")->isEnabled() &&
                Part<QPushButton>(dialog, "cancelButton")->isEnabled() &&
                dialog.cursor().shape() == Qt::WaitCursor;
            Click(dialog, "cancelButton");
            return dialog.result();
        });
        window.RunCommand(CommandId::kGetMacAddress);
        QVERIFY(busyShown);

        // A dialog closed but not yet gone drops its answer too.
        CGetMacAddrDlg dialog;
        QSignalSpy finished(&dialog, &LookupDialog::LookupFinished);
        dialog.SetHost(kSilent);
        Click(dialog, "getMacAddressButton");
        QVERIFY(dialog.IsBusy());
        dialog.reject();
        QVERIFY(!dialog.IsBusy());
        QTest::qWait(3500);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(dialog.MacAddress(), QString());
        QCOMPARE(ModalSeam::ShownTexts(), QStringList({"Get MAC Address"}));
    }

    // The same pass over real links is StatusMonitorLabTest's; this one is
    // the window's NO_EXTERNAL_COMMAND choosing the method.
    void aPassMarksExactlyTheAnsweringHosts_data()
    {
        QTest::addColumn<int>("noExternalCommand");
        QTest::newRow("own echo") << 1;
        QTest::newRow("system ping") << 0;
    }
    void aPassMarksExactlyTheAnsweringHosts()
    {
        QFETCH(int, noExternalCommand);
        WindowFixture fixture("[SETTING]\nINIT_REFRESH=0\nAUTO_REFRESH=0\nICMP_TIME_OUT=300\n"
                              "NO_EXTERNAL_COMMAND=" +
            std::to_string(noExternalCommand) + "\n" +
            HostSections({
                {"absent", "", "198.51.100.77", "255.255.255.0", ""},
                {"live", "", "198.51.100.20", "255.255.255.0", ""},
                {"self", "", "198.51.100.1", "", ""},
            }));
        CPondelDlg& window = fixture.Open();
        QCoreApplication::processEvents();
        window.RunCommand(CommandId::kRefresh);
        QTRY_COMPARE_WITH_TIMEOUT(Marks(window), (std::vector<int>{0, 1, 1}), 10000);
        QTRY_COMPARE(window.StatusText(StatusPane::kProgress), QString());
        QCOMPARE(ModalSeam::ShownTexts(), QStringList{});
    }

    void aHostAddedWithItsMacAddressFoundOnTheLink()
    {
        WindowFixture fixture("[SETTING]\nICMP_TIME_OUT=500\n");
        CPondelDlg& window = fixture.Open();
        ModalSeam::SetNextDialog([](QDialog& edit) {
            Type(edit, "hostNameEdit", "labhost");
            Type(edit, "ipAddressEdit", "198.51.100.20");
            Click(edit, "getMacAddressButton");
            Click(edit, "okButton");
            return edit.result();
        });
        ModalSeam::SetNextDialog([](QDialog& lookup) {
            Click(lookup, "okButton");
            WaitForLookup(static_cast<LookupDialog&>(lookup));
            return lookup.result();
        });
        window.RunCommand(CommandId::kAppend);
        QCOMPARE(fixture.hosts.Count(), 1);
        QCOMPARE(QString::fromUtf8(fixture.hosts[0].macAddr), kLabMac);
        QCOMPARE(QString::fromUtf8(fixture.hosts[0].netMask), "255.255.255.0");
        // Probed as soon as it was added, on the monitor's thread.
        QTRY_VERIFY(window.HostRows()->index(0, 0).data(HostTableModel::kActiveRole).toBool());
        QCOMPARE(fixture.hosts[0].active, 1);
    }

private:
    std::unique_ptr<TestNetwork> network_;
};

} // namespace pondel::test

PONDEL_NETWORK_UI_TEST_MAIN(
    pondel::test::LookupDialogsTest, pondel::test::kOwnName, pondel::test::kHostsFile)
#include "LookupDialogsTest.moc"
