// Woken hosts in the window, against simulated sleeping machines in a
// namespace network: the rows' wake marks, rows that move or go while their
// host wakes, and closing the window meanwhile.
#include <chrono>
#include <memory>
#include <optional>

#include <QTest>

#include "DialogDriving.h"
#include "HostTableModel.h"
#include "ModalSeam.h"
#include "NetworkUiTestMain.h"
#include "SleepingMachine.h"
#include "UiTestSupport.h"
#include "WakingRows.h"

namespace pondel::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::array<std::uint8_t, 6> kMachineMac{0x02, 0x00, 0x00, 0x00, 0x0D, 0x02};
// Probes every 300 ms, each waiting 200 ms; a machine not up within
// `timeout` seconds has not answered.
std::string QuickConfirm(int timeout = 2)
{
    return "[SETTING]\nNO_EXTERNAL_COMMAND=1\nICMP_TIME_OUT=200\nWAKE_CONFIRM_INTERVAL=300\n"
           "WAKE_CONFIRM_TIMEOUT=" +
        std::to_string(timeout) + "\n";
}

QString WakeTextOf(const CPondelDlg& window, int row)
{
    return window.HostRows()->index(row, 0).data(HostTableModel::kWakeRole).toString();
}

QString ToolTipOf(const CPondelDlg& window, int row)
{
    return window.HostRows()->index(row, 0).data(Qt::ToolTipRole).toString();
}

// A lab with the sleeping machine at 198.51.100.2, booting 1.2 s after its
// packet; nothing else answers. Its interface has the machine's MAC, which
// the window checks against the row's.
struct Lab {
    Lab()
        : peer(network.AddPeer(
              {"198.51.100.1", 24, ""}, {"198.51.100.200", 24, "02:00:00:00:0d:02"}))
    {
        QuickNeighbourProbes(peer);
        machine.emplace(peer, "198.51.100.2/24", kMachineMac, 1200ms);
    }
    TestNetwork network;
    const Peer& peer;
    std::optional<SleepingMachine> machine;
};

} // namespace

class WakeConfirmTest final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ModalSeam::Reset();
        ModalSeam::SetUnattended(true);
    }

    // The woken row counts the seconds with its own mark, then shows the
    // outcome wherever its host's row has gone meanwhile.
    void aWokenRowShowsItsWakeUntilItEnds()
    {
        enum class Step {
            kNone,
            kMoveUp,
            kRemove,
            kEditComment,
            kEditAddress
        };
        const struct {
            const char* name;
            std::string hosts;
            int wokenRow;
            Step step;
            int outcomeRow; // -1: no row shows a wake
            const char* outcome;
        } cases[] = {
            {"boots", HostSections({{"pc2", "", "198.51.100.2", "", "02:00:00:00:0D:02"}}), 0,
                Step::kNone, 0, "up after "},
            {"another MAC", HostSections({{"pc2", "", "198.51.100.2", "", "02:00:00:00:0D:99"}}), 0,
                Step::kNone, 0, "no answer after 2 s"},
            {"moved up while waking",
                HostSections({{"idle", "", "198.51.100.9", "", "02:00:00:00:0D:09"},
                    {"pc2", "", "198.51.100.2", "", "02:00:00:00:0D:02"}}),
                1, Step::kMoveUp, 0, "up after "},
            {"removed while waking",
                HostSections({{"pc2", "", "198.51.100.2", "", "02:00:00:00:0D:02"},
                    {"idle", "", "198.51.100.9", "", "02:00:00:00:0D:09"}}),
                0, Step::kRemove, -1, ""},
            {"comment edited while waking",
                HostSections({{"pc2", "", "198.51.100.2", "", "02:00:00:00:0D:02"}}), 0,
                Step::kEditComment, 0, "up after "},
            {"address edited while waking",
                HostSections({{"pc2", "", "198.51.100.2", "", "02:00:00:00:0D:02"}}), 0,
                Step::kEditAddress, -1, ""},
        };
        for (const auto& c : cases) {
            Lab lab;
            WindowFixture fixture(QuickConfirm() + c.hosts);
            CPondelDlg& window = fixture.Open();
            QCoreApplication::processEvents();
            SelectRows(window, {c.wokenRow});
            window.RunCommand(CommandId::kWakeUp);
            // The watch starts once the packets have gone out, off the window's thread.
            QTRY_VERIFY2_WITH_TIMEOUT(
                WakeTextOf(window, c.wokenRow).endsWith(QStringLiteral(" s")), c.name, 5000);
            QVERIFY2(ToolTipOf(window, c.wokenRow).startsWith(QStringLiteral("Waking")), c.name);

            if (c.step == Step::kMoveUp) {
                window.RunCommand(CommandId::kMoveUp);
            } else if (c.step == Step::kRemove) {
                ModalSeam::SetNextAnswer(ModalSeam::Answer::kYes);
                window.RunCommand(CommandId::kRemove);
            } else if (c.step != Step::kNone) {
                const bool moved = c.step == Step::kEditAddress;
                ModalSeam::SetNextDialog(FillHostEdit({"pc2", "edited",
                    moved ? "198.51.100.7" : "198.51.100.2", "", "02:00:00:00:0D:02"}));
                window.RunCommand(CommandId::kEdit);
            }
            if (c.outcomeRow < 0) {
                // The watch ended with the host's row: the machine boots unseen.
                QTRY_VERIFY_WITH_TIMEOUT(!window.HostRows()->HasWakes(), 1000);
                QTRY_VERIFY_WITH_TIMEOUT(lab.machine->AwokeAt().has_value(), 3000);
                QTest::qWait(500);
                QVERIFY2(!window.HostRows()->HasWakes(), c.name);
                continue;
            }
            QTRY_VERIFY2_WITH_TIMEOUT(
                WakeTextOf(window, c.outcomeRow).contains(QStringLiteral("after")), c.name, 5000);
            const QString text = WakeTextOf(window, c.outcomeRow);
            QVERIFY2(text.startsWith(QLatin1String(c.outcome)), qPrintable(text));
            const bool up = text.startsWith(QStringLiteral("up"));
            QCOMPARE(Marks(window)[static_cast<std::size_t>(c.outcomeRow)], up ? 1 : 0);
            QCOMPARE(ToolTipOf(window, c.outcomeRow).contains(QStringLiteral("BIOS")), !up);
            for (int row = 0; row < window.HostRows()->rowCount(); ++row) {
                if (row != c.outcomeRow)
                    QVERIFY2(WakeTextOf(window, row).isEmpty(), c.name);
            }
        }
    }

    // Closing the window ends the watching of hosts that never answer within
    // one probe.
    void closingTheWindowWhileHostsWakeEndsAtOnce()
    {
        Lab lab;
        WindowFixture fixture(QuickConfirm(60) +
            HostSections({{"a", "", "198.51.100.3", "", "02:00:00:00:0D:03"},
                {"b", "", "198.51.100.4", "", "02:00:00:00:0D:04"}}));
        CPondelDlg& window = fixture.Open();
        QCoreApplication::processEvents();
        SelectRows(window, {0, 1});
        window.RunCommand(CommandId::kWakeUp);
        QTRY_COMPARE_WITH_TIMEOUT(WakeTextOf(window, 1), QStringLiteral("1 s"), 3000);
        const Clock::time_point closing = Clock::now();
        window.close();
        QVERIFY(Clock::now() - closing < 200ms + 400ms);
        QCOMPARE(WakeTextOf(window, 0), QStringLiteral("1 s"));
    }
};

} // namespace pondel::test

PONDEL_NETWORK_UI_TEST_MAIN(
    pondel::test::WakeConfirmTest, "pondel-lab", "127.0.0.1 localhost\n198.51.100.1 pondel-lab\n")
#include "WakeConfirmTest.moc"
