#include <string>
#include <vector>

#include <QHeaderView>
#include <QTableView>
#include <QTest>

#include "HostListPane.h"
#include "HostTableModel.h"
#include "ModalSeam.h"
#include "TemporaryDirectory.h"
#include "UiTestSupport.h"

namespace pondel::test {
namespace {

// One column of the rows as shown, top to bottom.
QStringList Column(const CPondelDlg& window, int column)
{
    QStringList texts;
    const HostTableModel& rows = *window.HostRows();
    for (int row = 0; row < rows.rowCount(); ++row)
        texts.append(rows.index(row, column).data().toString());
    return texts;
}

// The same column of HostList, which a sort rebuilds from the rows.
QStringList HostNames(const HostList& hosts)
{
    QStringList names;
    for (const tHostInfo& host : hosts)
        names.append(QString::fromUtf8(host.hostName));
    return names;
}

} // namespace

class HostSortTest final : public QObject {
    Q_OBJECT

private slots:
    void init() { ModalSeam::SetUnattended(true); }

    void addressesSortAsNumbersAndAClickAgainReverses()
    {
        WindowFixture fixture(HostSections({
            {"a", "", "10.0.0.10", "255.255.255.0", ""},
            {"b", "", "10.0.0.9", "255.0.0.0", ""},
            {"c", "", "not an address", "255.255.0.0", ""},
            {"d", "", "9.200.0.1", "255.255.255.128", ""},
        }));
        CPondelDlg& window = fixture.Open();
        window.SortByColumn(3);
        QCOMPARE(Column(window, 3),
            QStringList({"9.200.0.1", "10.0.0.9", "10.0.0.10", "not an address"}));
        QCOMPARE(HostNames(fixture.hosts), QStringList({"d", "b", "a", "c"}));
        window.SortByColumn(3);
        QCOMPARE(HostNames(fixture.hosts), QStringList({"c", "a", "b", "d"}));
        QVERIFY(window.ListPane().SortDescending(3));

        window.SortByColumn(4);
        QCOMPARE(Column(window, 4),
            QStringList({"255.0.0.0", "255.255.0.0", "255.255.255.0", "255.255.255.128"}));
    }

    void macAddressesPutTheHighestFirstOnTheFirstClick()
    {
        WindowFixture fixture(HostSections({
            {"low", "", "192.0.2.1", "", "00:00:00:00:00:01"},
            {"high", "", "192.0.2.2", "", "FF:00:00:00:00:00"},
            {"mid", "", "192.0.2.3", "", "0a-00-00-00-00-00"},
        }));
        CPondelDlg& window = fixture.Open();
        window.SortByColumn(5);
        QCOMPARE(HostNames(fixture.hosts), QStringList({"high", "mid", "low"}));
        window.SortByColumn(5);
        QCOMPARE(HostNames(fixture.hosts), QStringList({"low", "mid", "high"}));
    }

    void namesIgnoreCaseAndSwitchingColumnsStartsAscending()
    {
        WindowFixture fixture(HostSections({
            {"beta", "z", "192.0.2.1", "", ""},
            {"Alpha", "y", "192.0.2.2", "", ""},
            {"alpha", "x", "192.0.2.3", "", ""},
            {"Gamma", "w", "192.0.2.4", "", ""},
        }));
        CPondelDlg& window = fixture.Open();
        // A click on the header, as the user makes it.
        QHeaderView* header = window.HostListView()->horizontalHeader();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
        // Equal names keep their order.
        QCOMPARE(HostNames(fixture.hosts), QStringList({"Alpha", "alpha", "beta", "Gamma"}));
        window.SortByColumn(1);
        window.SortByColumn(2);
        QCOMPARE(Column(window, 2), QStringList({"w", "x", "y", "z"}));
        window.SortByColumn(1);
        QVERIFY(!window.ListPane().SortDescending(1));
        QCOMPARE(window.ListPane().LastSortColumn(), 1);
        QCOMPARE(Column(window, 1).join(' ').toLower(), "alpha alpha beta gamma");
    }

    // The Vendor column shows the names once the registry is read, sorts
    // like the text columns and keeps the width the file gave it.
    void vendorsShowOnceReadSortAsTextAndKeepTheirWidth()
    {
        const TemporaryDirectory registry;
        WriteTextFile(registry / "oui.csv",
            "MA-L,020000,lab boards,\nMA-L,0A0000,Acme Devices,\nMA-L,060000,Zeta,\n");
        WindowFixture fixture("[SETTING]\nVENDOR_COLUMN=1\nVENDOR_REGISTRY_FOLDER=" +
            registry.Path().string() + "\n[WINDOW]\nITEM_WIDTH_VENDOR=90\n" +
            HostSections({
                {"z", "", "192.0.2.1", "", "06:00:00:00:00:01"},
                {"none", "", "192.0.2.2", "", ""},
                {"lab", "", "192.0.2.3", "", "02:00:00:00:00:01"},
                {"acme", "", "192.0.2.4", "", "0a-00-00-00-00-01"},
            }));
        CPondelDlg& window = fixture.Open();
        const int vendor = HostTableModel::kVendorColumn;
        QCOMPARE(window.HostListView()->horizontalHeader()->sectionSize(vendor), 90);
        QTRY_COMPARE(
            Column(window, vendor), QStringList({"Zeta", "", "lab boards", "Acme Devices"}));
        window.SortByColumn(vendor);
        QCOMPARE(HostNames(fixture.hosts), QStringList({"none", "acme", "lab", "z"}));
        window.SortByColumn(vendor);
        QCOMPARE(HostNames(fixture.hosts), QStringList({"z", "lab", "acme", "none"}));
        QVERIFY(window.close());
        QCOMPARE(fixture.Value("WINDOW", "ITEM_WIDTH_VENDOR"), "90");
    }

    void activeFlagsAndTheSelectionTravelWithTheirRows()
    {
        WindowFixture fixture(HostSections({
            {"c", "", "192.0.2.3", "", ""},
            {"a", "", "192.0.2.1", "", ""},
            {"b", "", "192.0.2.2", "", ""},
        }));
        fixture.hosts[0].active = 1;
        CPondelDlg& window = fixture.Open();
        window.HostListView()->selectRow(0);
        window.SortByColumn(1);
        QCOMPARE(HostNames(fixture.hosts), QStringList({"a", "b", "c"}));
        QCOMPARE(fixture.hosts[2].active, 1);
        QCOMPARE(fixture.hosts[0].active, 0);
        QCOMPARE(window.SelectedRows(), std::vector<int>{2});
        QCOMPARE(window.HostRows()->Rows()[2].itemData, 2);

        // By mark: inactive rows first, then the active one.
        window.SortByColumn(0);
        QCOMPARE(fixture.hosts[2].active, 1);
        window.SortByColumn(0);
        QCOMPARE(HostNames(fixture.hosts).front(), "c");

        // In text mode the flags survive too.
        window.ListPane().ApplyActiveMarkType(1);
        window.SortByColumn(1);
        QCOMPARE(fixture.hosts[2].active, 1);
        const QString mark = QString::fromStdString(fixture.settings.activeMarkText);
        QVERIFY(!mark.isEmpty());
        QCOMPARE(Column(window, 0), QStringList({"", "", mark}));
        QVERIFY(APassRunsThrough(window));
    }

    void anEmptyListStaysEmpty()
    {
        WindowFixture fixture("");
        CPondelDlg& window = fixture.Open();
        for (int column = 0; column < HostTableModel::kColumnCount; ++column)
            window.SortByColumn(column);
        window.SortByColumn(HostTableModel::kColumnCount);
        QCOMPARE(window.HostRows()->rowCount(), 0);
        QVERIFY(fixture.hosts.IsEmpty());
        QCOMPARE(window.ListPane().LastSortColumn(), HostTableModel::kGroupColumn);
    }

    void textThatIsNotUtf8ComesBackUnchanged()
    {
        // A file written in another code page: the bytes must survive a sort.
        WindowFixture fixture(HostSections({
            {"z", "", "192.0.2.1", "", ""},
            {"\x83\x65\x83\x58\x83\x67", "\x82\xa0", "192.0.2.2", "", ""},
        }));
        CPondelDlg& window = fixture.Open();
        window.SortByColumn(1);
        window.SortByColumn(3);
        QCOMPARE(std::string(fixture.hosts[1].hostName), "\x83\x65\x83\x58\x83\x67");
        QCOMPARE(std::string(fixture.hosts[1].comment), "\x82\xa0");
    }
};

} // namespace pondel::test

QTEST_MAIN(pondel::test::HostSortTest)
#include "HostSortTest.moc"
