#include <string>

#include <QClipboard>
#include <QGuiApplication>
#include <QTableView>
#include <QTest>

#include "ClipboardText.h"
#include "HostTableModel.h"
#include "ModalSeam.h"
#include "UiTestSupport.h"

namespace pondel::test {
namespace {

const std::string kThreeHosts = HostSections({
    {"alpha", "one", "192.0.2.1", "255.255.255.0", "00:11:22:33:44:01"},
    {"beta", "two", "192.0.2.2", "", "00:11:22:33:44:02"},
    {"gamma", "three", "192.0.2.3", "255.255.0.0", ""},
});

// Each host as "name|comment|ip|mask|mac", in list order.
QStringList HostTexts(const HostList& hosts)
{
    QStringList texts;
    for (const tHostInfo& host : hosts)
        texts.append(
            QStringList{host.hostName, host.comment, host.ipAddr, host.netMask, host.macAddr}.join(
                '|'));
    return texts;
}

// What the list shows, in the same form.
QStringList RowTexts(const CPondelDlg& window)
{
    QStringList texts;
    const HostTableModel& rows = *window.HostRows();
    for (int row = 0; row < rows.rowCount(); ++row) {
        QStringList fields;
        for (int column = 1; column < HostTableModel::kVendorColumn; ++column)
            fields.append(rows.index(row, column).data().toString());
        texts.append(fields.join('|'));
    }
    return texts;
}

void SetClipboard(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

} // namespace

class ExchangeTest final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ModalSeam::Reset();
        ModalSeam::SetUnattended(true);
        QGuiApplication::clipboard()->clear();
    }

    // CSV files.

    void anExportedListImportsBackAsItWas()
    {
        WindowFixture fixture(kThreeHosts);
        fixture.hosts.Append(MakeHostInfo("say \"hi\"", "a, b", "192.0.2.4", "", ""));
        CPondelDlg& window = fixture.Open();
        const QStringList original = HostTexts(fixture.hosts);
        const auto file = fixture.Folder() / "hosts.csv";

        ModalSeam::SetNextFileName(QString::fromStdString(file.string()));
        window.RunCommand(CommandId::kExportHostList);
        // The file's form and what an import takes are CsvHostFileTest's.
        QCOMPARE(ModalSeam::ShownTexts(), QStringList({"Export To CSV File", "Hosts exported: 4"}));

        // Every host of the file is in the list already: the user is asked
        // whether to add them again, and told what came of it.
        SelectRows(window, {1});
        ModalSeam::SetNextFileName(QString::fromStdString(file.string()));
        ModalSeam::SetNextAnswer(ModalSeam::Answer::kYes);
        window.RunCommand(CommandId::kImportHostList);
        QCOMPARE(HostTexts(fixture.hosts), original + original);
        QCOMPARE(RowTexts(window), original + original);
        QCOMPARE(window.SelectedCount(), 0);
        QVERIFY(APassRunsThrough(window));
        QVERIFY(ModalSeam::ShownTexts().at(3).startsWith("4 of the hosts in the file are already"));
        QCOMPARE(ModalSeam::ShownTexts().last(), "Hosts imported: 4");

        ModalSeam::SetNextFileName(QString::fromStdString(file.string()));
        ModalSeam::SetNextAnswer(ModalSeam::Answer::kNo);
        window.RunCommand(CommandId::kImportHostList);
        QCOMPARE(HostTexts(fixture.hosts), original + original);
        QCOMPARE(ModalSeam::ShownTexts().last(),
            "Hosts imported: 0\nHosts already in the list, skipped: 4");
    }

    void importStopsAtTheRowLimit()
    {
        WindowFixture fixture(kThreeHosts);
        fixture.settings.maxHostNum = 4;
        CPondelDlg& window = fixture.Open();
        const auto file = fixture.Folder() / "two.csv";
        WriteTextFile(
            file, "1,\"d\",\"\",\"192.0.2.4\",\"\",\"\"\n2,\"e\",\"\",\"192.0.2.5\",\"\",\"\"\n");

        ModalSeam::SetNextFileName(QString::fromStdString(file.string()));
        window.RunCommand(CommandId::kImportHostList);
        QCOMPARE(fixture.hosts.Count(), 4);
        QCOMPARE(window.HostRows()->rowCount(), 4);
        QCOMPARE(ModalSeam::ShownTexts().last(),
            "Host over max count.\n\nHosts imported: 1\n"
            "Hosts left out because the list is full: 1");
        QVERIFY(APassRunsThrough(window));

        // Already full: refused before anything is read.
        ModalSeam::SetNextFileName(QString::fromStdString(file.string()));
        window.RunCommand(CommandId::kImportHostList);
        QCOMPARE(fixture.hosts.Count(), 4);
        QVERIFY(ModalSeam::ShownTexts().last().startsWith("Host over max count."));
    }

    void unchosenAndUnreadableFilesAreReported()
    {
        WindowFixture fixture(kThreeHosts);
        CPondelDlg& window = fixture.Open();
        ModalSeam::SetNextFileName(std::nullopt);
        window.RunCommand(CommandId::kImportHostList);
        ModalSeam::SetNextFileName(QString());
        window.RunCommand(CommandId::kImportHostList);
        ModalSeam::SetNextFileName(
            QString::fromStdString((fixture.Folder() / "none.csv").string()));
        window.RunCommand(CommandId::kImportHostList);
        ModalSeam::SetNextFileName(QString());
        window.RunCommand(CommandId::kExportHostList);
        QCOMPARE(ModalSeam::ShownTexts(),
            QStringList({"Import From CSV File", "Import From CSV File",
                "Import file is not selected.", "Import From CSV File", "Cannot open import file.",
                "Export To CSV File", "Export file is not selected."}));
        QCOMPARE(fixture.hosts.Count(), 3);
    }

    void aFailedExportLeavesTheOldFileAsItWas()
    {
        WindowFixture fixture(kThreeHosts);
        CPondelDlg& window = fixture.Open();
        const auto file = fixture.Folder() / "hosts.csv";
        WriteTextFile(file, "the old list");

        // The disk fills up after a few bytes.
        ModalSeam::SetNextFileName(QString::fromStdString(file.string()));
        WithFileSizeLimit(20, [&] { window.RunCommand(CommandId::kExportHostList); });
        QCOMPARE(ReadTextFile(file), "the old list");
        const QString message = ModalSeam::ShownTexts().last();
        QVERIFY2(message.startsWith(
                     "Cannot write export file.\n" + QString::fromStdString(file.string()) + "\n"),
            qPrintable(message));
        QVERIFY2(message.contains("File too large"), qPrintable(message));
        QCOMPARE(std::distance(std::filesystem::directory_iterator(fixture.Folder()), {}), 2);

        // A folder that is not there.
        const auto nowhere = fixture.Folder() / "missing" / "hosts.csv";
        ModalSeam::SetNextFileName(QString::fromStdString(nowhere.string()));
        window.RunCommand(CommandId::kExportHostList);
        QVERIFY(ModalSeam::ShownTexts().last().startsWith("Cannot open export file.\n"));
        QVERIFY(ModalSeam::ShownTexts().last().contains("No such file or directory"));
    }

    // The clipboard.

    void copiedRowsPasteBackAboveTheSelectionOrAtTheEnd()
    {
        WindowFixture fixture(kThreeHosts);
        CPondelDlg& window = fixture.Open();
        const QStringList original = HostTexts(fixture.hosts);

        SelectRows(window, {0, 2});
        window.RunCommand(CommandId::kCopy);
        QCOMPARE(QGuiApplication::clipboard()->text(),
            "alpha,one,192.0.2.1,255.255.255.0,00:11:22:33:44:01\n"
            "gamma,three,192.0.2.3,255.255.0.0,");
        QCOMPARE(window.SelectedCount(), 0);
        QVERIFY(APassRunsThrough(window));

        window.RunCommand(CommandId::kPaste);
        QCOMPARE(HostTexts(fixture.hosts), original + QStringList({original[0], original[2]}));
        QCOMPARE(window.SelectedRows(), std::vector<int>({3, 4}));

        SelectRows(window, {1});
        window.RunCommand(CommandId::kPaste);
        QCOMPARE(HostTexts(fixture.hosts).mid(0, 4),
            QStringList({original[0], original[0], original[2], original[1]}));
        QCOMPARE(RowTexts(window), HostTexts(fixture.hosts));
        QCOMPARE(window.SelectedRows(), std::vector<int>({1, 2}));
        QCOMPARE(window.HostRows()->Rows()[3].itemData, 3);
        QVERIFY(APassRunsThrough(window));
        QVERIFY(ModalSeam::ShownTexts().isEmpty());
    }

    void pasteReadsUpToTheFirstMalformedLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("pasted");
        QTest::addColumn<bool>("formatError");

        QTest::newRow("CR LF lines, MACs made canonical")
            << "a,,192.0.2.7,,00:11:22:33:44:55\r\nb,,192.0.2.8,,00-11-22-33-44-66\r\n"
            << QStringList({"a||192.0.2.7||00:11:22:33:44:55", "b||192.0.2.8||00:11:22:33:44:66"})
            << false;
        QTest::newRow("malformed line in the middle")
            << "a,,192.0.2.7,,00:11:22:33:44:55\nnot a host\nc,,192.0.2.9,,00:11:22:33:44:77"
            << QStringList{"a||192.0.2.7||00:11:22:33:44:55"} << true;
    }

    void pasteReadsUpToTheFirstMalformedLine()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, pasted);
        QFETCH(bool, formatError);
        WindowFixture fixture(kThreeHosts);
        CPondelDlg& window = fixture.Open();
        const QStringList original = HostTexts(fixture.hosts);
        SetClipboard(text);

        window.RunCommand(CommandId::kPaste);
        QCOMPARE(HostTexts(fixture.hosts), original + pasted);
        QCOMPARE(RowTexts(window).size(), original.size() + pasted.size());
        QCOMPARE(window.SelectedCount(), pasted.size());
        QCOMPARE(ModalSeam::ShownTexts(),
            formatError ? QStringList{"Different format of the data to be pasted is."}
                        : QStringList{});
        QVERIFY(APassRunsThrough(window));
    }

    // Copy and Cut without a selection are ListEditingTest's.
    void pasteWithoutTextSaysWhy()
    {
        WindowFixture fixture(kThreeHosts);
        CPondelDlg& window = fixture.Open();
        window.RunCommand(CommandId::kPaste);
        QCOMPARE(ModalSeam::ShownTexts(), QStringList({"There is no data to be pasted."}));
        QCOMPARE(fixture.hosts.Count(), 3);
        QVERIFY(APassRunsThrough(window));
    }

    void cutRemovesTheRowsOnlyOnceTheClipboardHoldsThem()
    {
        WindowFixture fixture(kThreeHosts);
        CPondelDlg& window = fixture.Open();
        const QStringList original = HostTexts(fixture.hosts);
        SetClipboard("before");

        SelectRows(window, {0, 1});
        ClipboardText::FailNextPut();
        window.RunCommand(CommandId::kCut);
        QCOMPARE(HostTexts(fixture.hosts), original);
        QCOMPARE(RowTexts(window), original);
        QCOMPARE(QGuiApplication::clipboard()->text(), "before");
        QCOMPARE(ModalSeam::ShownTexts(),
            QStringList{"The hosts could not be placed on the clipboard. They stay in the list."});
        QVERIFY(APassRunsThrough(window));

        window.RunCommand(CommandId::kCut);
        QCOMPARE(HostTexts(fixture.hosts), QStringList{original[2]});
        QCOMPARE(RowTexts(window), QStringList{original[2]});
        QCOMPARE(window.HostRows()->Rows()[0].itemData, 0);
        QCOMPARE(QGuiApplication::clipboard()->text(),
            "alpha,one,192.0.2.1,255.255.255.0,00:11:22:33:44:01\nbeta,two,192.0.2.2,,00:11:22:33:"
            "44:02");
        QVERIFY(APassRunsThrough(window));
    }
};

} // namespace pondel::test

QTEST_MAIN(pondel::test::ExchangeTest)
#include "ExchangeTest.moc"
