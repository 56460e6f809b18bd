#include <string>

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTableView>
#include <QTest>
#include <QToolBar>

#include "CommandSurfaces.h"
#include "HostListPane.h"
#include "HostTableModel.h"
#include "MarkImages.h"
#include "ModalSeam.h"
#include "UiTestSupport.h"

namespace pondel::test {
namespace {

const std::string kThreeHosts = HostSections({
    {"alpha", "first", "192.0.2.1", "255.255.255.0", "00:11:22:33:44:01"},
    {"beta", "second", "192.0.2.2", "255.255.255.0", "00:11:22:33:44:02"},
    {"gamma", "third", "192.0.2.3", "", "00:11:22:33:44:03"},
});

int MeasuredWidth(const CPondelDlg& window, const QString& text)
{
    return static_cast<int>(
        QFontMetrics(window.HostListView()->font()).horizontalAdvance(text) * 1.15);
}

} // namespace

class MainWindowTest final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ModalSeam::Reset();
        ModalSeam::SetUnattended(true);
    }

    void opensWithItsPanesTextsAndRows()
    {
        WindowFixture fixture("[SETTING]\nDEFAULT_HOST=1\n" + kThreeHosts);
        CPondelDlg& window = fixture.Open();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QCOMPARE(window.windowTitle(), QStringLiteral("Vexmoor Ver.3.02"));
        QVERIFY(!window.windowIcon().isNull());
        const HostTableModel& rows = *window.HostRows();
        QCOMPARE(rows.rowCount(), 3);
        QCOMPARE(rows.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Host Name");
        QCOMPARE(rows.index(2, 1).data().toString(), "gamma");
        QCOMPARE(rows.index(2, 3).data().toString(), "192.0.2.3");
        QCOMPARE(rows.index(0, 5).data().toString(), "00:11:22:33:44:01");

        QCOMPARE(window.StatusText(StatusPane::kGeneral), QString());
        QCOMPARE(window.StatusText(StatusPane::kProgress), QString());
        QCOMPARE(window.StatusText(StatusPane::kSelected), QStringLiteral("Selected:      1"));
        QCOMPARE(window.StatusText(StatusPane::kCount), QStringLiteral("List count:      3"));
        QVERIFY(window.findChild<QLabel*>(QStringLiteral("statusPane0"))->width() >= 100);

        // DEFAULT_HOST selects its row and makes it the current host; the
        // buttons that want a selection follow it from the start.
        QCOMPARE(window.SelectedRows(), std::vector<int>{1});
        QVERIFY(window.Surfaces().ToolbarAction(CommandId::kEdit)->isEnabled());
        QVERIFY(window.Surfaces().ToolbarAction(CommandId::kWakeUp)->isEnabled());
        QCOMPARE(window.CurrentHost().hostName, "beta");
        QCOMPARE(window.CurrentHost().ipAddr, "192.0.2.2");
        QCOMPARE(window.CurrentHost().macAddr, "00:11:22:33:44:02");
    }

    // DEFAULT_HOST names a host section; one without an address before it,
    // which a hand edit may leave, is not loaded and moves the rows up.
    void aDefaultHostSelectsTheHostOfItsSection_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("selected"); // empty: nothing
        QTest::newRow("after a section without address") << "2"
                                                         << "beta";
        QTest::newRow("the last") << "3"
                                  << "gamma";
        QTest::newRow("a section without address") << "0"
                                                   << "";
        QTest::newRow("past the end") << "4"
                                      << "";
        QTest::newRow("negative") << "-1"
                                  << "";
        QTest::newRow("not a number") << "x"
                                      << "";
    }
    void aDefaultHostSelectsTheHostOfItsSection()
    {
        QFETCH(QString, value);
        QFETCH(QString, selected);
        std::string hosts = kThreeHosts;
        for (const char* row : {"2", "1", "0"})
            hosts.replace(hosts.find(std::string("[HOST_") + row + "]"), 8,
                std::string("[HOST_") + char(row[0] + 1) + "]");
        WindowFixture fixture("[SETTING]\nDEFAULT_HOST=" + value.toStdString() +
            "\n[HOST_0]\nHOST_NAME=no address\n" + hosts);
        const CPondelDlg& window = fixture.Open();
        QCOMPARE(window.HostRows()->rowCount(), 3);
        QCOMPARE(QString::fromStdString(window.CurrentHost().hostName), selected);
        QCOMPARE(window.SelectedRows().size(), selected.isEmpty() ? 0U : 1U);
    }

    void aFirstStartShowsAnEmptyListAndHowToFillIt()
    {
        WindowFixture fixture("");
        std::filesystem::remove(fixture.Path());
        const CPondelDlg& window = fixture.Open();
        QCOMPARE(window.HostRows()->rowCount(), 0);
        QCOMPARE(window.StatusText(StatusPane::kGeneral), CPondelDlg::EmptyListHint());
        QVERIFY(!window.StatusText(StatusPane::kGeneral).isEmpty());
    }

    void theEmptyListHintLeavesOnceHostsCome_data()
    {
        QTest::addColumn<int>("command");
        QTest::newRow("paste") << static_cast<int>(CommandId::kPaste);
        QTest::newRow("import") << static_cast<int>(CommandId::kImportHostList);
    }
    void theEmptyListHintLeavesOnceHostsCome()
    {
        QFETCH(int, command);
        WindowFixture fixture("[SETTING]\nINIT_REFRESH=0\nAUTO_REFRESH=0\n");
        const auto csv = fixture.Folder() / "one.csv";
        WriteTextFile(csv, "1,\"d\",\"\",\"192.0.2.4\",\"\",\"\"\n");
        QGuiApplication::clipboard()->setText("d,,192.0.2.4,,");
        CPondelDlg& window = fixture.Open();
        QCOMPARE(window.StatusText(StatusPane::kGeneral), CPondelDlg::EmptyListHint());
        ModalSeam::SetNextFileName(QString::fromStdString(csv.string()));
        // A pointer passing over a button does not take the hint away.
        QStatusTipEvent tip{QString()};
        QCoreApplication::sendEvent(&window, &tip);
        QCOMPARE(window.StatusText(StatusPane::kGeneral), CPondelDlg::EmptyListHint());
        window.RunCommand(static_cast<CommandId>(command));
        QCOMPARE(window.HostRows()->rowCount(), 1);
        QCOMPARE(window.StatusText(StatusPane::kGeneral), QString());

        // With the list empty again, it comes back.
        SelectRows(window, {0});
        ModalSeam::SetNextAnswer(ModalSeam::Answer::kYes);
        window.RunCommand(CommandId::kRemove);
        QCOMPARE(window.HostRows()->rowCount(), 0);
        QCOMPARE(window.StatusText(StatusPane::kGeneral), CPondelDlg::EmptyListHint());
    }

    void columnsAreMeasuredUnlessStoredAndRowsHaveTheirHeight()
    {
        WindowFixture fixture(
            "[SETTING]\nLIST_ROW_HEIGHT=27\n[WINDOW]\nITEM_WIDTH_HOST_NAME=150\n" + kThreeHosts);
        const CPondelDlg& window = fixture.Open();
        const QHeaderView* header = window.HostListView()->horizontalHeader();
        QCOMPARE(header->sectionSize(1), 150);
        QCOMPARE(header->sectionSize(0), MeasuredWidth(window, "  Active "));
        QCOMPARE(header->sectionSize(3), MeasuredWidth(window, "255.255.255.255 "));
        QCOMPARE(header->sectionSize(5), MeasuredWidth(window, "DD:DD:DD:DD:DD:DD "));
        QCOMPARE(window.HostListView()->rowHeight(2), 27);
    }

    void storedGeometryIsApplied()
    {
        WindowFixture fixture(
            "[WINDOW]\nWINDOW_X=40\nWINDOW_Y=30\nWINDOW_WIDTH=700\nWINDOW_HEIGHT=500\n");
        CPondelDlg& window = fixture.Open();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.pos(), QPoint(40, 30));
        QCOMPARE(window.size(), QSize(700, 500));
    }

    void resizingMovesTheChildrenWithTheWindow()
    {
        WindowFixture fixture(kThreeHosts);
        CPondelDlg& window = fixture.Open();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int listWidth = window.HostListView()->width();
        window.resize(window.width() + 200, window.height() + 150);
        QTRY_COMPARE(window.HostListView()->width(), listWidth + 200);
        QCOMPARE(window.statusBar()->geometry().bottom(), window.height() - 1);
        QCOMPARE(window.Surfaces().CommandBar()->width(), window.width());
    }

    void closingWritesEverythingBack()
    {
        WindowFixture fixture("[SETTING]\nDEFAULT_HOST=0\n" + kThreeHosts);
        CPondelDlg& window = fixture.Open();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.move(50, 60);
        window.resize(640, 480);
        window.HostListView()->horizontalHeader()->resizeSection(2, 123);
        window.SortByColumn(1);
        window.SortByColumn(1); // gamma, beta, alpha
        window.HostListView()->selectRow(1);
        window.StopAutoRefresh();
        QVERIFY(window.close());

        QCOMPARE(fixture.Value("SETTING", "DEFAULT_HOST"), "1");
        QCOMPARE(fixture.Value("SETTING", "AUTO_REFRESH"), "0");
        QCOMPARE(fixture.Value("WINDOW", "WINDOW_X"), "50");
        QCOMPARE(fixture.Value("WINDOW", "WINDOW_Y"), "60");
        QCOMPARE(fixture.Value("WINDOW", "WINDOW_WIDTH"), "640");
        QCOMPARE(fixture.Value("WINDOW", "WINDOW_HEIGHT"), "480");
        QCOMPARE(fixture.Value("WINDOW", "ITEM_WIDTH_COMMENT"), "123");
        QCOMPARE(fixture.Value("HOST_0", "HOST_NAME"), "gamma");
        QCOMPARE(fixture.Value("HOST_2", "IP_ADDR"), "192.0.2.1");
        QVERIFY(ModalSeam::ShownTexts().isEmpty());
    }

    void closingMaximizedKeepsTheNormalGeometry()
    {
        WindowFixture fixture(kThreeHosts);
        CPondelDlg& window = fixture.Open();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.move(50, 60);
        window.resize(640, 480);
        QTRY_COMPARE(window.size(), QSize(640, 480));
        window.showMaximized();
        QTRY_VERIFY(window.isMaximized() && window.width() != 640);
        QVERIFY(window.close());
        QCOMPARE(fixture.Value("WINDOW", "WINDOW_WIDTH"), "640");
        QCOMPARE(fixture.Value("WINDOW", "WINDOW_HEIGHT"), "480");
        QCOMPARE(fixture.Value("WINDOW", "WINDOW_X"), "50");
        QCOMPARE(fixture.Value("WINDOW", "WINDOW_MAXIMIZED"), "1");

        // It opens maximized again, and closed normal says so.
        CPondelDlg& reopened = fixture.Open();
        QVERIFY(reopened.windowState() & Qt::WindowMaximized);
        reopened.show();
        QVERIFY(QTest::qWaitForWindowExposed(&reopened));
        reopened.showNormal();
        QTRY_VERIFY(!reopened.isMaximized());
        QVERIFY(reopened.close());
        QCOMPARE(fixture.Value("WINDOW", "WINDOW_MAXIMIZED"), "0");
    }

    void closingWhileMinimisedKeepsTheStoredGeometry()
    {
        WindowFixture fixture("[WINDOW]\nWINDOW_X=77\nWINDOW_WIDTH=654\n" + kThreeHosts);
        CPondelDlg& window = fixture.Open();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.HostListView()->selectRow(2);
        window.RunCommand(CommandId::kMinimize);
        QTRY_VERIFY(window.isMinimized());
        window.move(300, 300);
        QVERIFY(window.close());
        QCOMPARE(fixture.Value("WINDOW", "WINDOW_X"), "77");
        QCOMPARE(fixture.Value("WINDOW", "WINDOW_WIDTH"), "654");
        QCOMPARE(fixture.Value("SETTING", "DEFAULT_HOST"), "2");
    }

    void aFailedSaveIsToldAndLeavesTheOldFile()
    {
        WindowFixture fixture(kThreeHosts);
        const std::string before = ReadTextFile(fixture.Path());
        CPondelDlg& window = fixture.Open();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // The new file is larger than the old one: a file size limit stops it
        // even for root, as a full disk would.
        WithFileSizeLimit(before.size(), [&] { window.close(); });

        QCOMPARE(ReadTextFile(fixture.Path()), before);
        const QStringList shown = ModalSeam::ShownTexts();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].contains(QString::fromStdString(fixture.Path().string())),
            qPrintable(shown[0]));
        QVERIFY2(shown[0].contains("File too large"), qPrintable(shown[0]));
    }

    void selectAllCancelSelectAndEscAndEnterDoesNothing()
    {
        WindowFixture fixture(kThreeHosts);
        CPondelDlg& window = fixture.Open();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.HostListView()->setFocus();
        window.RunCommand(CommandId::kSelectAll);
        QCOMPARE(window.SelectedCount(), 3);
        window.RunCommand(CommandId::kCancelSelect);
        QCOMPARE(window.SelectedCount(), 0);
        window.HostListView()->selectAll();
        QTest::keyClick(window.HostListView(), Qt::Key_Return);
        QCOMPARE(window.SelectedCount(), 3);
        QTest::keyClick(window.HostListView(), Qt::Key_Escape);
        QCOMPARE(window.SelectedCount(), 0);
        QCOMPARE(window.StatusText(StatusPane::kSelected), QStringLiteral("Selected:      0"));
        QVERIFY(window.isVisible());
    }

    void resetAndCentreBringTheWindowBack()
    {
        WindowFixture fixture("[WINDOW]\nWINDOW_X=-3000\nWINDOW_Y=-3000\nWINDOW_WIDTH=300\n"
                              "ITEM_WIDTH_IP_ADDR=9\n" +
            kThreeHosts);
        CPondelDlg& window = fixture.Open();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect screen = window.screen()->availableGeometry();

        window.RunCommand(CommandId::kMoveToCenter);
        QCOMPARE(window.width(), 300);
        QVERIFY(qAbs(window.frameGeometry().center().x() - screen.center().x()) <= 1);

        window.RunCommand(CommandId::kResetToDefaultSize);
        const QHeaderView* header = window.HostListView()->horizontalHeader();
        QCOMPARE(header->sectionSize(3), MeasuredWidth(window, "255.255.255.255 "));
        QCOMPARE(fixture.settings.columnWidths[3], header->sectionSize(3));
        int columns = 0;
        for (int column = 0; column < 6; ++column)
            columns += header->sectionSize(column);
        QVERIFY(window.width() > columns);
        QVERIFY(qAbs(window.frameGeometry().center().x() - screen.center().x()) <= 1);
    }

    void marksComeFromTheImageFilesWithTheMaskColour()
    {
        WindowFixture fixture("[SETTING]\nACTIVE_IMG_MASK_COLOR=#FF00FF\n" + kThreeHosts);
        QImage active(20, 20, QImage::Format_RGB32);
        active.fill(QColor(255, 0, 255));
        active.setPixel(10, 10, qRgb(255, 0, 0));
        QVERIFY(active.save(QString::fromStdString((fixture.Folder() / "active.bmp").string())));
        WriteTextFile(fixture.Folder() / "inactive.bmp", "not an image");
        fixture.hosts[0].active = 1;
        const CPondelDlg& window = fixture.Open();

        const QImage shown =
            window.HostRows()->index(0, 0).data(Qt::DecorationRole).value<QPixmap>().toImage();
        QCOMPARE(shown.size(), QSize(16, 16));
        QCOMPARE(qAlpha(shown.pixel(0, 0)), 0);
        QCOMPARE(shown.pixel(8, 8), qRgb(255, 0, 0));
        // An undecodable file gives way to the built-in image.
        const QImage fallback =
            window.HostRows()->index(1, 0).data(Qt::DecorationRole).value<QPixmap>().toImage();
        QCOMPARE(fallback, QPixmap(":/icons/inactive.png").toImage());
    }

    void markImagesComeFromTheFirstFolderThatHasBoth_data()
    {
        QTest::addColumn<QList<int>>("imagesIn"); // which folders hold both files
        QTest::addColumn<int>("usedFolder");      // -1: the built-in images
        QTest::newRow("settings folder first") << QList<int>{0, 1} << 0;
        QTest::newRow("then beside the executable") << QList<int>{1} << 1;
        QTest::newRow("neither") << QList<int>{} << -1;
    }
    void markImagesComeFromTheFirstFolderThatHasBoth()
    {
        QFETCH(QList<int>, imagesIn);
        QFETCH(int, usedFolder);
        const TemporaryDirectory folders[2];
        const QRgb colours[2] = {qRgb(255, 0, 0), qRgb(0, 0, 255)};
        for (const int folder : imagesIn) {
            QImage image(16, 16, QImage::Format_RGB32);
            image.fill(colours[folder]);
            for (const char* name : {"active.bmp", "inactive.bmp"})
                QVERIFY(
                    image.save(QString::fromStdString((folders[folder].Path() / name).string())));
        }
        const std::filesystem::path paths[] = {folders[0].Path(), folders[1].Path()};
        const QImage active = LoadMarkImages(paths, 0xFF00FF).active.toImage();
        if (usedFolder < 0)
            QCOMPARE(active, QPixmap(":/icons/active.png").toImage());
        else
            QCOMPARE(active.pixel(8, 8), colours[usedFolder]);
    }

    void marksFollowTheFlagsInBothModesAndStayCentred()
    {
        WindowFixture fixture("[SETTING]\nACTIVE_MARK_TYPE=1\nACTIVE_MARK_TEXT=UP\n" + kThreeHosts);
        CPondelDlg& window = fixture.Open();
        const HostTableModel& rows = *window.HostRows();
        fixture.hosts[1].active = 1;
        window.UpdateActiveMark(1);
        QCOMPARE(rows.index(1, 0).data().toString(), "UP");
        QCOMPARE(rows.index(0, 0).data().toString(), QString());

        window.ListPane().ApplyActiveMarkType(0);
        QCOMPARE(rows.index(1, 0).data().toString(), QString());
        QVERIFY(rows.index(1, 0).data(Qt::DecorationRole).canConvert<QPixmap>());
        window.HostListView()->horizontalHeader()->resizeSection(0, 80);
        QTRY_COMPARE(rows.MarkIndent(), 32);
        QCOMPARE(fixture.settings.columnWidths[0], 80);
    }
};

} // namespace pondel::test

QTEST_MAIN(pondel::test::MainWindowTest)
#include "MainWindowTest.moc"
