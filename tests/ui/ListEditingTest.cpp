#include <string>

#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTest>

#include "DialogDriving.h"
#include "HostTableModel.h"
#include "ModalSeam.h"
#include "UiTestSupport.h"

namespace pondel::test {
namespace {

const std::string kThreeHosts = HostSections({
    {"alpha", "first", "192.0.2.1", "255.255.255.0", "00:11:22:33:44:01"},
    {"beta", "second", "192.0.2.2", "255.255.255.0", "00:11:22:33:44:02"},
    {"gamma", "third", "192.0.2.3", "255.255.0.0", "00:11:22:33:44:03"},
});

const QString kSelectOne = QStringLiteral("Please select only one item");
const QString kSelectHost = QStringLiteral("Please select the host");
const QString kTooMany = QStringLiteral("Over the maximum number of hosts registered");

QStringList Names(const CPondelDlg& window)
{
    QStringList names;
    for (const HostRow& row : window.HostRows()->Rows())
        names.append(QString::fromUtf8(row.host.hostName));
    return names;
}

QStringList RecordNames(const HostList& hosts)
{
    QStringList names;
    for (const tHostInfo& host : hosts)
        names.append(QString::fromUtf8(host.hostName));
    return names;
}

// Rows, records and item data agree, row by row.
void VerifyInStep(const CPondelDlg& window, const HostList& hosts)
{
    const auto& rows = window.HostRows()->Rows();
    QCOMPARE(static_cast<int>(rows.size()), hosts.Count());
    for (int i = 0; i < hosts.Count(); ++i) {
        QCOMPARE(rows[static_cast<std::size_t>(i)].itemData, i);
        QCOMPARE(QString::fromUtf8(rows[static_cast<std::size_t>(i)].host.ipAddr),
            QString::fromUtf8(hosts[i].ipAddr));
    }
}

} // namespace

class ListEditingTest final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ModalSeam::Reset();
        ModalSeam::SetUnattended(true);
    }

    void appendAddsAtTheEndAndCarriesTheNetmaskIntoTheNextHost()
    {
        WindowFixture fixture(kThreeHosts);
        CPondelDlg& window = fixture.Open();
        SelectRows(window, {1});

        QString offeredNetMask;
        ModalSeam::SetNextDialog([&](QDialog& dialog) {
            offeredNetMask = FieldText(dialog, "netMaskEdit");
            return FillHostEdit({"delta", "fourth", "192.0.2.4", "255.255.255.128", ""})(dialog);
        });
        window.RunCommand(CommandId::kAppend);
        QCOMPARE(offeredNetMask, "255.255.255.0");
        QCOMPARE(Names(window), QStringList({"alpha", "beta", "gamma", "delta"}));
        QCOMPARE(RecordNames(fixture.hosts), Names(window));
        QCOMPARE(fixture.hosts[3].netMask, std::string_view("255.255.255.128"));
        QCOMPARE(window.SelectedRows(), std::vector<int>({1}));
        QCOMPARE(window.CurrentHost().hostName, "delta");
        VerifyInStep(window, fixture.hosts);
        QVERIFY(APassRunsThrough(window));

        // The next new host is offered the netmask just confirmed; a
        // cancelled dialog adds nothing.
        ModalSeam::SetNextDialog([&](QDialog& dialog) {
            offeredNetMask = FieldText(dialog, "netMaskEdit");
            return int{QDialog::Rejected};
        });
        window.RunCommand(CommandId::kAppend);
        QCOMPARE(offeredNetMask, "255.255.255.128");
        QCOMPARE(fixture.hosts.Count(), 4);
        QCOMPARE(window.StatusText(StatusPane::kCount).trimmed(), "List count:      4");
    }

    void insertGoesAboveTheSelectionOrToTheEnd()
    {
        WindowFixture fixture(kThreeHosts);
        CPondelDlg& window = fixture.Open();
        SelectRows(window, {1});
        ModalSeam::SetNextDialog(FillHostEdit({"inserted", "", "192.0.2.9", "", ""}));
        window.RunCommand(CommandId::kInsert);
        QCOMPARE(Names(window), QStringList({"alpha", "inserted", "beta", "gamma"}));
        // The selected row moved down with its selection; the new one is not
        // selected.
        QCOMPARE(window.SelectedRows(), std::vector<int>({2}));
        VerifyInStep(window, fixture.hosts);

        window.HostListView()->clearSelection();
        ModalSeam::SetNextDialog(FillHostEdit({"last", "", "192.0.2.10", "", ""}));
        window.RunCommand(CommandId::kInsert);
        QCOMPARE(Names(window).last(), "last");
        QCOMPARE(RecordNames(fixture.hosts), Names(window));
        QVERIFY(APassRunsThrough(window));
    }

    void theRowLimitIsCheckedBeforeTheDialogOpens()
    {
        WindowFixture fixture("[SETTING]\nMAX_HOST_NUM=3\n" + kThreeHosts);
        CPondelDlg& window = fixture.Open();
        window.RunCommand(CommandId::kAppend);
        SelectRows(window, {0});
        window.RunCommand(CommandId::kInsert);
        QCOMPARE(ModalSeam::ShownTexts(), QStringList({kTooMany, kTooMany}));
        QCOMPARE(fixture.hosts.Count(), 3);
    }

    void editReplacesTheTextsAndKeepsTheFlag()
    {
        WindowFixture fixture(kThreeHosts);
        CPondelDlg& window = fixture.Open();
        fixture.hosts[1].active = 1;
        window.UpdateActiveMark(1);
        SelectRows(window, {1});

        HostTexts shown;
        ModalSeam::SetNextDialog([&](QDialog& dialog) {
            shown = {FieldText(dialog, "hostNameEdit").toStdString(),
                FieldText(dialog, "commentEdit").toStdString(),
                FieldText(dialog, "ipAddressEdit").toStdString(),
                FieldText(dialog, "netMaskEdit").toStdString(),
                FieldText(dialog, "macAddressEdit").toStdString()};
            Type(dialog, "hostNameEdit", "beta2");
            Type(dialog, "commentEdit", "renamed");
            Click(dialog, "okButton");
            return dialog.result();
        });
        window.RunCommand(CommandId::kEdit);
        QCOMPARE(shown.hostName, "beta");
        QCOMPARE(shown.ipAddr, "192.0.2.2");
        QCOMPARE(shown.macAddr, "00:11:22:33:44:02");
        QCOMPARE(fixture.hosts[1].hostName, std::string_view("beta2"));
        QCOMPARE(fixture.hosts[1].comment, std::string_view("renamed"));
        QCOMPARE(fixture.hosts[1].ipAddr, std::string_view("192.0.2.2"));
        QCOMPARE(window.HostRows()->index(1, 1).data().toString(), "beta2");
        QCOMPARE(window.SelectedRows(), std::vector<int>({1}));
        QCOMPARE(window.CurrentHost().comment, "renamed");

        // Cancel changes nothing.
        ModalSeam::SetNextDialog([](QDialog& dialog) {
            Type(dialog, "hostNameEdit", "never");
            return int{QDialog::Rejected};
        });
        window.RunCommand(CommandId::kEdit);
        QCOMPARE(fixture.hosts[1].hostName, std::string_view("beta2"));
        QVERIFY(APassRunsThrough(window));

        // A double-click edits the row it lands on.
        QString edited;
        ModalSeam::SetNextDialog([&](QDialog& dialog) {
            edited = FieldText(dialog, "hostNameEdit");
            return int{QDialog::Rejected};
        });
        emit window.HostListView()->doubleClicked(window.HostRows()->index(2, 1));
        QCOMPARE(edited, "gamma");
    }

    void removeAsksOnceAndRemovesFromTheBottomUp()
    {
        WindowFixture fixture(
            kThreeHosts + HostSections({}) + "[HOST_3]\nHOST_NAME=delta\nIP_ADDR=192.0.2.4\n");
        CPondelDlg& window = fixture.Open();

        SelectRows(window, {1});
        ModalSeam::SetNextAnswer(ModalSeam::Answer::kNo);
        window.RunCommand(CommandId::kRemove);
        QCOMPARE(
            ModalSeam::ShownTexts().last(), "beta(192.0.2.2) Are you sure you want to delete?");
        QCOMPARE(fixture.hosts.Count(), 4);

        ModalSeam::SetNextAnswer(ModalSeam::Answer::kYes);
        window.RunCommand(CommandId::kRemove);
        QCOMPARE(Names(window), QStringList({"alpha", "gamma", "delta"}));

        SelectRows(window, {0, 1, 2});
        window.RunCommand(CommandId::kRemove); // unattended: No
        QCOMPARE(ModalSeam::ShownTexts().last(),
            "Removes the selected host information.\nAre you sure?");
        QCOMPARE(fixture.hosts.Count(), 3);

        SelectRows(window, {0, 2});
        ModalSeam::SetNextAnswer(ModalSeam::Answer::kYes);
        const int asked = static_cast<int>(ModalSeam::ShownTexts().size());
        window.RunCommand(CommandId::kRemove);
        QCOMPARE(ModalSeam::ShownTexts().size(), asked + 1);
        QCOMPARE(Names(window), QStringList({"gamma"}));
        QCOMPARE(RecordNames(fixture.hosts), QStringList({"gamma"}));
        VerifyInStep(window, fixture.hosts);
        QVERIFY(APassRunsThrough(window));
    }

    void movesStopAtTheEndsAndLeaveOnlyTheMovedRowSelected()
    {
        WindowFixture fixture(kThreeHosts);
        CPondelDlg& window = fixture.Open();
        fixture.hosts[0].active = 1;
        window.RefillHostRows();

        SelectRows(window, {0});
        window.RunCommand(CommandId::kMoveUp);
        QCOMPARE(Names(window), QStringList({"alpha", "beta", "gamma"}));

        window.RunCommand(CommandId::kMoveDown);
        QCOMPARE(Names(window), QStringList({"beta", "alpha", "gamma"}));
        QCOMPARE(window.SelectedRows(), std::vector<int>({1}));
        QVERIFY(window.HostRows()->index(1, 0).data(HostTableModel::kActiveRole).toBool());
        window.RunCommand(CommandId::kMoveDown);
        window.RunCommand(CommandId::kMoveDown);
        QCOMPARE(Names(window), QStringList({"beta", "gamma", "alpha"}));
        QCOMPARE(RecordNames(fixture.hosts), Names(window));
        QCOMPARE(window.SelectedRows(), std::vector<int>({2}));

        window.RunCommand(CommandId::kMoveUp);
        QCOMPARE(Names(window), QStringList({"beta", "alpha", "gamma"}));
        QCOMPARE(window.SelectedRows(), std::vector<int>({1}));
        VerifyInStep(window, fixture.hosts);
        QVERIFY(ModalSeam::ShownTexts().isEmpty());
        QVERIFY(APassRunsThrough(window));
    }

    // Commands that work on one row, or on some, say what they miss and
    // change nothing.
    void aCommandWithoutTheRowsItNeedsSaysWhy_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QString>("message");
        const auto row = [](const char* name, CommandId id, QList<int> rows, const QString& text) {
            QTest::newRow(name) << static_cast<int>(id) << rows << text;
        };
        row("insert two", CommandId::kInsert, {0, 1}, kSelectOne);
        row("edit none", CommandId::kEdit, {}, kSelectHost);
        row("edit two", CommandId::kEdit, {0, 2}, kSelectOne);
        row("remove none", CommandId::kRemove, {}, kSelectHost);
        row("move up two", CommandId::kMoveUp, {0, 1}, kSelectOne);
        row("move down none", CommandId::kMoveDown, {}, kSelectHost);
        row("copy none", CommandId::kCopy, {}, kSelectHost);
        row("cut none", CommandId::kCut, {}, kSelectHost);
    }
    void aCommandWithoutTheRowsItNeedsSaysWhy()
    {
        QFETCH(int, command);
        QFETCH(QList<int>, selected);
        QFETCH(QString, message);
        WindowFixture fixture(kThreeHosts);
        CPondelDlg& window = fixture.Open();
        window.HostListView()->clearSelection();
        for (const int row : selected)
            window.HostListView()->selectionModel()->select(window.HostRows()->index(row, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        ModalSeam::SetNextDialog(FillHostEdit({"never", "", "192.0.2.9", "", ""}));
        window.RunCommand(static_cast<CommandId>(command));
        QCOMPARE(ModalSeam::ShownTexts(), QStringList{message});
        QCOMPARE(Names(window), QStringList({"alpha", "beta", "gamma"}));
        QCOMPARE(RecordNames(fixture.hosts), Names(window));
        QVERIFY(APassRunsThrough(window));
    }
};

} // namespace pondel::test

QTEST_MAIN(pondel::test::ListEditingTest)
#include "ListEditingTest.moc"
