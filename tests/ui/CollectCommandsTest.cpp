// Collect host information: the range dialog, the question, the sweep's
// progress and end as the window shows them, with stand-in probes.
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "CCollectHostDlg.h"
#include "CCollectProcDlg.h"
#include "FakeWorkServices.h"
#include "CommandSurfaces.h"
#include "HostTableModel.h"
#include "ModalSeam.h"
#include "UiTestSupport.h"

namespace pondel::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string kQuiet = "[SETTING]\nINIT_REFRESH=0\nAUTO_REFRESH=0\n";

const std::string kOneHost =
    HostSections({{"listed", "", "192.0.2.3", "255.255.255.0", "02:00:00:00:00:03"}});

QString Field(QDialog& dialog, const char* name)
{
    return dialog.findChild<QLineEdit*>(name)->text();
}

void SetField(QDialog& dialog, const char* name, const QString& text)
{
    dialog.findChild<QLineEdit*>(name)->setText(text);
}

// Answers the range dialog with the given fields, or as proposed, and
// remembers what it proposed.
struct RangeAnswer {
    QStringList proposed;
    QString start;
    QString end;
    QString netMask;
    QString timeOut;

    std::function<int(QDialog&)> Handler()
    {
        return [this](QDialog& dialog) {
            proposed = {Field(dialog, "startAddressEdit"), Field(dialog, "endAddressEdit"),
                Field(dialog, "netMaskEdit"), Field(dialog, "timeOutEdit")};
            if (!start.isNull())
                SetField(dialog, "startAddressEdit", start);
            if (!end.isNull())
                SetField(dialog, "endAddressEdit", end);
            if (!netMask.isNull())
                SetField(dialog, "netMaskEdit", netMask);
            if (!timeOut.isNull())
                SetField(dialog, "timeOutEdit", timeOut);
            dialog.accept();
            return dialog.result();
        };
    }
};

std::vector<std::string> RowTexts(const CPondelDlg& window)
{
    std::vector<std::string> rows;
    const HostTableModel& model = *window.HostRows();
    for (int row = 0; row < model.rowCount(); ++row) {
        std::string text =
            model.index(row, 0).data(HostTableModel::kActiveRole).toBool() ? "+ " : "- ";
        for (int column = 1; column < HostTableModel::kVendorColumn; ++column)
            text += model.index(row, column).data().toString().toStdString() + "|";
        rows.push_back(text);
    }
    return rows;
}

// Whether the command's menu item is enabled as its menu opens.
bool ItemEnabled(CPondelDlg& window, CommandId id)
{
    QAction* item = window.Surfaces().MenuAction(id);
    emit qobject_cast<QMenu*>(item->parent())->aboutToShow();
    return item->isEnabled();
}

// The progress dialog of the running collection, or null.
CCollectProcDlg* ProgressDialog(const CPondelDlg& window)
{
    for (auto* dialog : window.findChildren<CCollectProcDlg*>("collectProcDlg")) {
        if (dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

bool CollectEnabled(CPondelDlg& window)
{
    return ItemEnabled(window, CommandId::kCollectHosts);
}

} // namespace

class CollectCommandsTest final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ModalSeam::Reset();
        ModalSeam::SetUnattended(true);
    }

    void theSweepAddsTheLiveHostsWithNamesMacsAndMarks()
    {
        FakeProbes probes({"192.0.2.1", "192.0.2.3", "192.0.2.4"});
        WindowFixture fixture(kQuiet + kOneHost);
        probes.macs["192.0.2.4"] = "02:00:00:00:00:04";
        CPondelDlg& window = fixture.Open(FakeServices(probes, "192.0.2.20"));

        RangeAnswer answer;
        answer.start = "192.0.2.5";
        answer.end = "192.0.2.1";
        answer.netMask = "255.255.255.240";
        answer.timeOut = "40";
        ModalSeam::SetNextDialog(answer.Handler());
        ModalSeam::SetNextAnswer(ModalSeam::Answer::kYes);
        probes.HoldAt("192.0.2.2");
        window.RunCommand(CommandId::kCollectHosts);
        // This computer's /24 without its network and broadcast addresses.
        QCOMPARE(answer.proposed, (QStringList{"192.0.2.1", "192.0.2.254", "255.255.255.0", "30"}));
        QCOMPARE(ModalSeam::ShownTexts().value(1),
            QStringLiteral("Gather the host information by sending an ICMP to the address of "
                           "the specified range.\nAre you sure?"));

        // Running: the dialog counts, the window waits, Collect is greyed.
        QVERIFY(probes.WaitUntilHeld());
        QVERIFY(window.IsCollectRunning());
        QVERIFY(!CollectEnabled(window));
        QCOMPARE(window.cursor().shape(), Qt::WaitCursor);
        CCollectProcDlg* progress = ProgressDialog(window);
        QVERIFY(progress != nullptr && progress->isVisible());
        QTRY_COMPARE(progress->AddressText(), QStringLiteral("192.0.2.2"));
        QTRY_COMPARE(progress->DetectCountText(), QStringLiteral("Detect Count: 1"));
        QCOMPARE(progress->ProgressBar()->maximum(), 5);
        QCOMPARE(progress->ProgressBar()->value(), 1);
        QCOMPARE(
            window.StatusText(StatusPane::kProgress), QStringLiteral("Check IP Address 192.0.2.2"));
        // A second Collect, a header click or Active Check neither start
        // anything nor wait for the sweep.
        window.RunCommand(CommandId::kCollectHosts);
        window.SortByColumn(1);
        window.HostListView()->selectAll();
        const auto start = Clock::now();
        window.RunCommand(CommandId::kActiveCheck);
        window.RunCommand(CommandId::kRefresh);
        QVERIFY(Clock::now() - start < 500ms);
        QCOMPARE(window.StatusText(StatusPane::kProgress),
            QStringLiteral("During  active status updates : 0 / 1"));
        QCOMPARE(ModalSeam::ShownTexts().size(), 2);

        probes.Release();
        QTRY_VERIFY(!window.IsCollectRunning());
        QTRY_VERIFY(ProgressDialog(window) == nullptr);
        // The added hosts come marked; the status pass that follows marks
        // the listed one too.
        QTRY_COMPARE(RowTexts(window),
            (std::vector<std::string>{"+ listed||192.0.2.3|255.255.255.0|02:00:00:00:00:03|",
                "+ host-192.0.2.1||192.0.2.1|255.255.255.240||",
                "+ host-192.0.2.4||192.0.2.4|255.255.255.240|02:00:00:00:00:04|"}));
        QVERIFY(CollectEnabled(window));
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        // The range is remembered in order (CollectRangeTest has the rules).
        QCOMPARE(fixture.settings.collectHostAddrStart, "192.0.2.1");
        QCOMPARE(fixture.settings.collectHostAddrEnd, "192.0.2.5");
        QTRY_COMPARE(window.StatusText(StatusPane::kProgress), QString());
    }

    void listCommandsAreGreyedAndRefusedUntilTheSweepHasEnded_data()
    {
        QTest::addColumn<bool>("stopped");
        QTest::newRow("probing") << false;
        QTest::newRow("looking up names after Stop") << true;
    }
    void listCommandsAreGreyedAndRefusedUntilTheSweepHasEnded()
    {
        QFETCH(bool, stopped);
        FakeProbes probes({"192.0.2.4"});
        WindowFixture fixture(kQuiet + kOneHost + "GROUP=lab\n");
        WorkServices services = FakeServices(probes);
        // The name lookups wait until the test lets them end.
        std::atomic<bool> lookingUp{false};
        std::atomic<bool> lookupsMayEnd{false};
        services.sweep.hostNameOf = [&](std::uint32_t) -> std::optional<std::string> {
            lookingUp = true;
            while (!lookupsMayEnd)
                std::this_thread::sleep_for(5ms);
            return "found";
        };
        CPondelDlg& window = fixture.Open(services);
        // Lets the sweep end however the test ends, before the window goes.
        const std::unique_ptr<void, std::function<void(void*)>> endLookups(
            &lookupsMayEnd, [&](void*) {
                probes.Release();
                lookupsMayEnd = true;
            });
        SelectRows(window, {0});
        QGuiApplication::clipboard()->setText("a,,192.0.2.7,,00:11:22:33:44:55");
        const auto csv = fixture.Folder() / "rows.csv";
        WriteTextFile(csv, "1,\"d\",\"\",\"192.0.2.9\",\"\",\"\"\n");

        RangeAnswer answer;
        answer.start = "192.0.2.4";
        answer.end = "192.0.2.6";
        ModalSeam::SetNextDialog(answer.Handler());
        ModalSeam::SetNextAnswer(ModalSeam::Answer::kYes);
        if (!stopped)
            probes.HoldAt("192.0.2.5");
        window.RunCommand(CommandId::kCollectHosts);
        if (stopped) {
            QTRY_VERIFY(lookingUp);
            CCollectProcDlg* progress = ProgressDialog(window);
            QTest::mouseClick(progress->findChild<QPushButton*>("stopButton"), Qt::LeftButton);
        } else {
            QVERIFY(probes.WaitUntilHeld());
        }
        const qsizetype shown = ModalSeam::ShownTexts().size();

        for (const CommandId id : {CommandId::kAppend, CommandId::kInsert, CommandId::kEdit,
                 CommandId::kRemove, CommandId::kMoveUp, CommandId::kMoveDown, CommandId::kCut,
                 CommandId::kPaste, CommandId::kImportHostList, CommandId::kOption}) {
            QVERIFY(!ItemEnabled(window, id));
            if (QAction* button = window.Surfaces().ToolbarAction(id))
                QVERIFY(!button->isEnabled());
            const auto start = Clock::now();
            window.RunCommand(id);
            QVERIFY(Clock::now() - start < 100ms);
        }
        for (const CommandId id : {CommandId::kSelectAll, CommandId::kCopy})
            window.RunCommand(id);
        // Nothing can be woken meanwhile, and Wake All does not ask.
        QVERIFY(ItemEnabled(window, CommandId::kSelectGroup));
        for (const CommandId id : {CommandId::kWakeGroup, CommandId::kWakeAll})
            QVERIFY(!ItemEnabled(window, id));
        window.RunCommand(CommandId::kWakeAll);
        QCOMPARE(ModalSeam::ShownTexts().size(), shown);
        QCOMPARE(window.StatusText(StatusPane::kGeneral), CPondelDlg::CollectionBusyText());
        QCOMPARE(window.SelectedRows(), std::vector<int>({0}));
        QCOMPARE(QGuiApplication::clipboard()->text(), "a,,192.0.2.7,,00:11:22:33:44:55");
        // Export writes the rows the window shows, whatever the sweep holds.
        QVERIFY(ItemEnabled(window, CommandId::kExportHostList));
        ModalSeam::SetNextFileName(QString::fromStdString(csv.string()));
        window.RunCommand(CommandId::kExportHostList);
        const std::string exported = ReadTextFile(csv);
        QVERIFY(exported.find("\"listed\"") != std::string::npos);
        QVERIFY(exported.find("192.0.2.4") == std::string::npos);
        QCOMPARE(window.HostRows()->rowCount(), 1);

        probes.Release();
        lookupsMayEnd = true;
        QTRY_VERIFY(ItemEnabled(window, CommandId::kAppend));
        QVERIFY(ItemEnabled(window, CommandId::kImportHostList));
        QVERIFY(ItemEnabled(window, CommandId::kWakeAll));
        QVERIFY(window.Surfaces().ToolbarAction(CommandId::kAppend)->isEnabled());
        QCOMPARE(window.HostRows()->rowCount(), 2);
        QCOMPARE(window.StatusText(StatusPane::kGeneral), QString());
    }

    void declinedOrCancelledCollectsStartNothing()
    {
        FakeProbes probes({"192.0.2.7"});
        WindowFixture fixture(kQuiet + "COLLECT_HOST_ADDR_START=192.0.2.7\n" + kOneHost);
        CPondelDlg& window = fixture.Open(FakeServices(probes));

        // Cancel in the dialog, then No to the question.
        window.RunCommand(CommandId::kCollectHosts);
        RangeAnswer answer;
        ModalSeam::SetNextDialog(answer.Handler());
        ModalSeam::SetNextAnswer(ModalSeam::Answer::kNo);
        window.RunCommand(CommandId::kCollectHosts);
        QCOMPARE(answer.proposed.value(0), QStringLiteral("192.0.2.7"));
        QVERIFY(!window.IsCollectRunning());
        QCOMPARE(fixture.settings.collectHostAddrEnd, "");
        QTest::qWait(50);
        QCOMPARE(probes.Opened(), 0);

        // Without an address of its own the computer has no range to offer.
        WorkServices services = FakeServices(probes);
        services.local.localHostAddress = [] {
            return Result<std::uint32_t>(ErrorInfo{0, "No adapter is up."});
        };
        window.UseWorkServices(services);
        window.RunCommand(CommandId::kCollectHosts);
        QCOMPARE(ModalSeam::ShownTexts().last(),
            QStringLiteral("Can not obtain IP address\nNo adapter is up."));
    }

    void stopFromTheProgressDialogEndsTheSweepAndKeepsWhatWasFound()
    {
        FakeProbes probes({"192.0.2.4"});
        WindowFixture fixture(kQuiet + kOneHost);
        CPondelDlg& window = fixture.Open(FakeServices(probes));

        RangeAnswer answer;
        answer.start = "192.0.2.4";
        answer.end = "192.0.2.12";
        ModalSeam::SetNextDialog(answer.Handler());
        ModalSeam::SetNextAnswer(ModalSeam::Answer::kYes);
        probes.HoldAt("192.0.2.5");
        window.RunCommand(CommandId::kCollectHosts);
        QVERIFY(probes.WaitUntilHeld());
        CCollectProcDlg* progress = ProgressDialog(window);
        // Enter does nothing; Escape asks the sweep to stop and the dialog
        // stays until the sweep has ended.
        QTest::keyClick(progress, Qt::Key_Return);
        QVERIFY(progress->isVisible());
        QTest::keyClick(progress, Qt::Key_Escape);
        QVERIFY(progress->isVisible());
        probes.Release();
        QTRY_VERIFY(!window.IsCollectRunning());
        // Where the sweep stops is AddressSweepTest's.
        QCOMPARE(ModalSeam::ShownTexts().last(),
            QStringLiteral("Host information collection has been canceled"));
        QCOMPARE(window.HostRows()->rowCount(), 2);
    }

    void withoutAnIcmpSocketTheSweepEndsAtOnceWithItsMessage()
    {
        FakeProbes probes({"192.0.2.1"});
        WindowFixture fixture(kQuiet + "NO_EXTERNAL_COMMAND=1\n" + kOneHost);
        probes.openError = "ICMP_Init(): error:(13)Permission denied";
        CPondelDlg& window = fixture.Open(FakeServices(probes));

        RangeAnswer answer;
        ModalSeam::SetNextDialog(answer.Handler());
        ModalSeam::SetNextAnswer(ModalSeam::Answer::kYes);
        window.RunCommand(CommandId::kCollectHosts);
        QTRY_VERIFY(!window.IsCollectRunning());
        QCOMPARE(ModalSeam::ShownTexts().last(),
            QStringLiteral("ICMP does not use.\nPlease change the settings you want to use an "
                           "external command."));
        QCOMPARE(window.HostRows()->rowCount(), 1);
        QVERIFY(ProgressDialog(window) == nullptr);
    }

    void closingMidSweepIsBoundedAndSavesWhatWasFound()
    {
        FakeProbes probes({"192.0.2.1", "192.0.2.2"}, 100ms);
        WindowFixture fixture(kQuiet + kOneHost);
        CPondelDlg& window = fixture.Open(FakeServices(probes));
        window.show();

        RangeAnswer answer;
        answer.start = "192.0.2.1";
        answer.end = "192.0.2.254";
        ModalSeam::SetNextDialog(answer.Handler());
        ModalSeam::SetNextAnswer(ModalSeam::Answer::kYes);
        window.RunCommand(CommandId::kCollectHosts);
        QTRY_VERIFY(probes.Probed().size() >= 3);
        const auto start = Clock::now();
        window.close();
        QVERIFY(Clock::now() - start < 1s);
        QVERIFY(probes.Probed().size() < 20);
        const SettingsFile saved = fixture.Saved();
        QCOMPARE(std::string(saved.Document().Find("HOST_1", "IP_ADDR").value_or("")),
            std::string("192.0.2.1"));
        QCOMPARE(std::string(saved.Document().Find("HOST_2", "IP_ADDR").value_or("")),
            std::string("192.0.2.2"));
        QVERIFY(ProgressDialog(window) == nullptr);
    }

    void theRangeDialogReadsBlankFieldsAsZeroAndRefusesABadTimeout()
    {
        CCollectHostDlg dialog;
        dialog.SetRequest({{0xC0000201u, 0, 0xFFFFFF00u}, 30});
        QCOMPARE(Field(dialog, "startAddressEdit"), QStringLiteral("192.0.2.1"));
        QCOMPARE(Field(dialog, "endAddressEdit"), QStringLiteral("0.0.0.0"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Host information collection"));

        SetField(dialog, "startAddressEdit", "10.1");
        SetField(dialog, "timeOutEdit", "");
        dialog.accept();
        QCOMPARE(dialog.result(), int{QDialog::Rejected});
        QCOMPARE(ModalSeam::ShownTexts(), QStringList{"Please enter a positive integer."});
        SetField(dialog, "timeOutEdit", "250");
        dialog.accept();
        QCOMPARE(dialog.result(), int{QDialog::Accepted});
        QCOMPARE(dialog.Request(), (CollectRequest{{0x0A010000u, 0, 0xFFFFFF00u}, 250}));
    }
};

} // namespace pondel::test

QTEST_MAIN(pondel::test::CollectCommandsTest)
#include "CollectCommandsTest.moc"
