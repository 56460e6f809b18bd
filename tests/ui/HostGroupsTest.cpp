// Host groups in the window: the Group column and its stored width, the
// group commands through their menus and the tray, the Group field of the
// host dialog, and the export with groups. Wake-ups go to a lab network
// whose far end records the magic packets it receives.
#include <chrono>
#include <set>
#include <string>

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QTest>

#include "CommandSurfaces.h"
#include "CsvHostFile.h"
#include "DialogDriving.h"
#include "FileIo.h"
#include "HostTableModel.h"
#include "ModalSeam.h"
#include "NetworkUiTestMain.h"
#include "UiTestSupport.h"

namespace pondel::test {
namespace {

using namespace std::chrono_literals;

const std::string kQuiet = "[SETTING]\nINIT_REFRESH=0\nAUTO_REFRESH=0\nWAKE_CONFIRM_TIMEOUT=0\n";

// Rows 0 and 2 are one group in two spellings; row 3 has none, row 4 no MAC.
std::string GroupedHosts()
{
    const struct {
        const char* name;
        const char* mac;
        const char* group;
    } hosts[] = {
        {"a", "02:00:00:00:0D:11", "lab"},
        {"b", "02:00:00:00:0D:12", "office"},
        {"c", "02:00:00:00:0D:13", "Lab"},
        {"d", "02:00:00:00:0D:14", ""},
        {"e", "", "office"},
    };
    std::string text = kQuiet;
    int row = 0;
    for (const auto& host : hosts) {
        text += "[HOST_" + std::to_string(row) + "]\nHOST_NAME=" + host.name +
            "\nIP_ADDR=198.51.100." + std::to_string(11 + row) +
            "\nNET_MASK=\nMAC_ADDR=" + host.mac + "\nGROUP=" + host.group + "\n";
        ++row;
    }
    return text;
}

// The lab: our side 198.51.100.1, the far end .200, where the directed
// broadcasts to port 7 arrive.
struct Lab {
    Lab()
        : peer(network.AddPeer({"198.51.100.1", 24, ""}, {"198.51.100.200", 24, ""}))
        , sink(peer.ns, 7)
    {
    }
    TestNetwork network;
    const Peer& peer;
    DatagramSink sink;

    // The last byte of each MAC address the magic packets carried.
    std::set<int> WokenMacs(std::chrono::milliseconds first)
    {
        std::set<int> macs;
        for (const Datagram& datagram : sink.ReceiveAll(300ms, first)) {
            if (datagram.payload.size() >= 102)
                macs.insert(datagram.payload[11]);
        }
        return macs;
    }
};

// The submenu of a command on a surface, filled as it opens.
QMenu* OpenedSubmenu(QAction* item)
{
    emit qobject_cast<QMenu*>(item->parent())->aboutToShow();
    QMenu* submenu = item->menu();
    if (submenu != nullptr)
        emit submenu->aboutToShow();
    return submenu;
}

QStringList ItemTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts.append(action->text());
    return texts;
}

void ChooseItem(QAction* item, const QString& text)
{
    for (QAction* action : OpenedSubmenu(item)->actions()) {
        if (action->text() == text) {
            action->trigger();
            return;
        }
    }
    QFAIL(qPrintable("no item " + text));
}

QStringList Column(const CPondelDlg& window, int column)
{
    QStringList texts;
    for (int row = 0; row < window.HostRows()->rowCount(); ++row)
        texts.append(window.HostRows()->index(row, column).data().toString());
    return texts;
}

} // namespace

class HostGroupsTest final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ModalSeam::Reset();
        ModalSeam::SetUnattended(true);
    }

    // Wake Group sends to its members alone, from the Tool menu or the tray;
    // Wake All asks first and sends nothing unless told Yes.
    void groupWakesReachTheirMembersOnly()
    {
        enum class Way {
            kToolMenu,
            kTray,
            kWakeAllNo,
            kWakeAllYes
        };
        const struct {
            const char* name;
            Way way;
            QString group;
            std::set<int> woken;
        } cases[] = {
            {"lab from the Tool menu", Way::kToolMenu, "lab", {0x11, 0x13}},
            {"office from the tray", Way::kTray, "office", {0x12}},
            {"all, answered No", Way::kWakeAllNo, {}, {}},
            {"all, answered Yes", Way::kWakeAllYes, {}, {0x11, 0x12, 0x13, 0x14}},
        };
        for (const auto& c : cases) {
            ModalSeam::Reset();
            ModalSeam::SetUnattended(true);
            Lab lab;
            WindowFixture fixture(GroupedHosts());
            CPondelDlg& window = fixture.Open();
            QCoreApplication::processEvents();
            CommandSurfaces& surfaces = window.Surfaces();
            switch (c.way) {
            case Way::kToolMenu:
                ChooseItem(surfaces.MenuAction(CommandId::kWakeGroup), c.group);
                break;
            case Way::kTray:
                ChooseItem(surfaces.TrayAction(CommandId::kWakeGroup), c.group);
                break;
            case Way::kWakeAllNo:
            case Way::kWakeAllYes:
                ModalSeam::SetNextAnswer(
                    c.way == Way::kWakeAllYes ? ModalSeam::Answer::kYes : ModalSeam::Answer::kNo);
                surfaces.MenuAction(CommandId::kWakeAll)->trigger();
                QVERIFY2(ModalSeam::ShownTexts().contains("Wake all 5 hosts?"), c.name);
                break;
            }
            QCOMPARE(lab.WokenMacs(c.woken.empty() ? 800ms : 3000ms), c.woken);
            // Rows are left selected as they were: none.
            QVERIFY2(window.SelectedRows().empty(), c.name);
        }
    }

    // Select Group selects its rows whatever their spelling; the submenus
    // follow the groups as hosts come and go, and the dialog's Group field
    // offers them and refuses "*".
    void selectGroupAndTheGroupField()
    {
        WindowFixture fixture(GroupedHosts());
        CPondelDlg& window = fixture.Open();
        QAction* select = window.Surfaces().MenuAction(CommandId::kSelectGroup);
        QCOMPARE(ItemTexts(OpenedSubmenu(select)), QStringList({"lab", "office"}));
        QVERIFY(select->isEnabled());
        ChooseItem(select, "office");
        QCOMPARE(window.SelectedRows(), std::vector<int>({1, 4}));
        ChooseItem(select, "lab");
        QCOMPARE(window.SelectedRows(), std::vector<int>({0, 2}));

        QStringList offered;
        const auto fillGroup = [&offered](const QString& group) {
            return [&offered, group](QDialog& dialog) {
                auto* field = Part<QComboBox>(dialog, "groupComboBox");
                offered.clear();
                for (int item = 0; item < field->count(); ++item)
                    offered.append(field->itemText(item));
                Type(dialog, "hostNameEdit", "f");
                Type(dialog, "ipAddressEdit", "198.51.100.16");
                field->setEditText(group);
                Click(dialog, "okButton");
                return dialog.result();
            };
        };
        // "*" stands for every host on the command line: refused, and the
        // dialog stays open until Cancel.
        ModalSeam::SetNextDialog(fillGroup("*"));
        window.RunCommand(CommandId::kAppend);
        QCOMPARE(window.HostRows()->rowCount(), 5);
        QVERIFY(ModalSeam::ShownTexts().last().contains("\"*\""));

        ModalSeam::SetNextDialog(fillGroup("  rack & 3 "));
        window.RunCommand(CommandId::kAppend);
        QCOMPARE(offered, QStringList({"lab", "office"}));
        QCOMPARE(window.HostRows()->rowCount(), 6);
        QCOMPARE(QString::fromUtf8(fixture.hosts[5].group), "rack & 3");
        QCOMPARE(ItemTexts(OpenedSubmenu(select)), QStringList({"lab", "office", "rack && 3"}));
        ChooseItem(select, "rack && 3");
        QCOMPARE(window.SelectedRows(), std::vector<int>({5}));
    }

    // The Group column sorts like the text columns, ignoring case, and its
    // width is stored only once it differs from the measured one.
    void theGroupColumnSortsAndKeepsItsWidth()
    {
        const int group = HostTableModel::kGroupColumn;
        int measured = 0;
        {
            WindowFixture fixture(GroupedHosts());
            CPondelDlg& window = fixture.Open();
            QCOMPARE(window.HostRows()->headerData(group, Qt::Horizontal, Qt::DisplayRole),
                QVariant("Group"));
            window.SortByColumn(group);
            QCOMPARE(Column(window, 1), QStringList({"d", "a", "c", "b", "e"}));
            window.SortByColumn(group);
            QCOMPARE(Column(window, group), QStringList({"office", "office", "lab", "Lab", ""}));
            QCOMPARE(QString::fromUtf8(fixture.hosts[0].hostName), "b");
            measured = window.HostListView()->horizontalHeader()->sectionSize(group);
            QVERIFY(measured > 0);
            QVERIFY(window.close());
            QCOMPARE(fixture.Value("WINDOW", "ITEM_WIDTH_GROUP"), "<missing>");
        }
        WindowFixture resized(GroupedHosts());
        CPondelDlg& window = resized.Open();
        window.HostListView()->horizontalHeader()->resizeSection(group, 77);
        QVERIFY(window.close());
        QCOMPARE(resized.Value("WINDOW", "ITEM_WIDTH_GROUP"), "77");
        WindowFixture reopened(resized.Saved().Document().Serialize());
        const QHeaderView* columns = reopened.Open().HostListView()->horizontalHeader();
        QCOMPARE(columns->sectionSize(group), 77);
        // Reset To Default Size measures it again.
        reopened.window->RunCommand(CommandId::kResetToDefaultSize);
        QCOMPARE(columns->sectionSize(group), measured);
    }

    // The export's second file type writes groups and wake options; the
    // first writes as it always did.
    void exportWritesTheChosenFileType()
    {
        const struct {
            QString fileType;
            CsvFlavour flavour;
        } cases[] = {
            {{}, CsvFlavour::kPlain},
            {"CSV File (*.csv)", CsvFlavour::kPlain},
            {"CSV with groups and wake options (*.csv)", CsvFlavour::kWithGroups},
        };
        for (const auto& c : cases) {
            WindowFixture fixture(GroupedHosts());
            CPondelDlg& window = fixture.Open();
            const auto file = fixture.Folder() / "out.csv";
            ModalSeam::SetNextFileName(QString::fromStdString(file.string()), c.fileType);
            window.RunCommand(CommandId::kExportHostList);
            const Result<std::string> written = ReadWholeFile(file, 1 << 20);
            QVERIFY(written);
            QCOMPARE(written.Value(), FormatCsvHostList(fixture.hosts, c.flavour));
        }
    }
};

} // namespace pondel::test

PONDEL_NETWORK_UI_TEST_MAIN(
    pondel::test::HostGroupsTest, "pondel-lab", "127.0.0.1 localhost\n198.51.100.1 pondel-lab\n")
#include "HostGroupsTest.moc"
