#include <string>

#include <QAction>
#include <QMenu>
#include <QStatusTipEvent>
#include <QTableView>
#include <QTest>
#include <QToolBar>

#include "CommandSurfaces.h"
#include "HostTableModel.h"
#include "ModalSeam.h"
#include "UiTestSupport.h"

namespace pondel::test {
namespace {

const std::string kThreeHosts = HostSections({
    {"alpha", "", "192.0.2.1", "", ""},
    {"beta", "", "192.0.2.2", "", ""},
    {"gamma", "", "192.0.2.3", "", ""},
});

// The texts of a menu as it opens, "-" for a separator; a greyed item is
// marked with a leading "~".
QStringList OpenedMenu(QMenu* menu)
{
    emit menu->aboutToShow();
    QStringList items;
    for (const QAction* action : menu->actions()) {
        if (action->isSeparator())
            items.append("-");
        else
            items.append((action->isEnabled() ? "" : "~") + action->text());
    }
    return items;
}

bool MenuEnables(CPondelDlg& window, CommandId id)
{
    QAction* item = window.Surfaces().MenuAction(id);
    emit qobject_cast<QMenu*>(item->parent())->aboutToShow();
    return item->isEnabled();
}

} // namespace

class CommandsTest final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ModalSeam::Reset();
        ModalSeam::SetUnattended(true);
    }

    void menusAndToolbarHoldTheirCommandsInOrder()
    {
        WindowFixture fixture(kThreeHosts);
        CPondelDlg& window = fixture.Open();
        QCOMPARE(OpenedMenu(window.Surfaces().MainMenu(MenuId::kFileMenu)),
            QStringList({"Export Host List(&E)...", "Import Host List(&I)...", "-",
                "Exit Application(&X)"}));
        QCOMPARE(OpenedMenu(window.Surfaces().MainMenu(MenuId::kEditMenu)),
            QStringList({"Append(&A)...", "~Insert(&I)...", "~Edit(&E)...", "~Remove(&R)\tDel", "-",
                "~Cut(&T)\tCtrl+X", "~Copy(&C)\tCtrl+C", "Paste(&P)\tCtrl+V",
                "Select All(&S)\tCtrl+A", "~Cancel Select(&L)\tEsc", "-", "~Move Up(&U)\tCtrl+U",
                "~Move Down(&D)\tCtrl+D"}));
        QCOMPARE(OpenedMenu(window.Surfaces().MainMenu(MenuId::kViewMenu)),
            QStringList({"Refresh(&R)\tCtrl+R", "~Active Check(&C)\tCtrl+P",
                "~Auto Refresh Start(&A)", "Auto Refresh Stop(&T)", "-", "Move To Center\tCtrl+M",
                "Reset To Default Size"}));
        QCOMPARE(OpenedMenu(window.Surfaces().MainMenu(MenuId::kHelpMenu)),
            QStringList({"Version Information Pondel(&A)..."}));

        QStringList buttons;
        for (const QAction* action : window.Surfaces().CommandBar()->actions())
            buttons.append(action->isSeparator() ? "-" : QString::number(action->data().toInt()));
        QCOMPARE(buttons.join(' '),
            "32780 32781 32782 32783 - 57635 57634 57637 - 32784 32785 - 32790 32791 - 32792 "
            "32793 - 32800 32801");
        QCOMPARE(window.Surfaces().ToolbarAction(CommandId::kWakeUp)->toolTip(),
            "Send a magic packet to the selected host");
        QVERIFY(!window.Surfaces().ToolbarAction(CommandId::kWakeUp)->icon().isNull());
    }

    void theShutdownItemFollowsItsOption()
    {
        WindowFixture without(kThreeHosts);
        QCOMPARE(OpenedMenu(without.Open().Surfaces().MainMenu(MenuId::kToolMenu)),
            QStringList({"~Wake Up(&W)\tCtrl+W", "~Wake Up (Non Broadcast)(&B)\tCtrl+B",
                "Last Wake(&L)...", "Listen for Wake Packets(&T)...", "-", "~Select Group(&G)",
                "~Wake Group(&K)", "~Wake All(&A)", "-", "Get Ip Address(&I)...",
                "Get Mac Address(&M)...", "Get Host Name(&N)...", "Send ICMP(&P)...", "-",
                "Collect host information(&C)...", "-", "Option(&O)..."}));

        WindowFixture with("[SETTING]\nENABLE_REMOTE_SHUTDOWN=1\n" + kThreeHosts);
        CPondelDlg& window = with.Open();
        const QStringList tool = OpenedMenu(window.Surfaces().MainMenu(MenuId::kToolMenu));
        QCOMPARE(tool.mid(15, 4),
            QStringList({"-", "~Shutdown Windows Host(&S)", "-", "Option(&O)..."}));
        SelectRows(window, {1});
        QVERIFY(MenuEnables(window, CommandId::kShutdownHost));
    }

    void menuAndToolbarApplyTheirOwnRules()
    {
        WindowFixture fixture(kThreeHosts);
        CPondelDlg& window = fixture.Open();
        QAction* editButton = window.Surfaces().ToolbarAction(CommandId::kEdit);

        SelectRows(window, {1});
        QVERIFY(MenuEnables(window, CommandId::kEdit));
        QVERIFY(editButton->isEnabled());
        QVERIFY(window.Surfaces().ToolbarAction(CommandId::kMoveUp)->isEnabled());

        // Two rows: Edit is greyed in the menu while its button stays enabled.
        SelectRows(window, {0, 2});
        QVERIFY(!MenuEnables(window, CommandId::kEdit));
        QVERIFY(editButton->isEnabled());
        QVERIFY(!window.Surfaces().ToolbarAction(CommandId::kMoveUp)->isEnabled());
        QVERIFY(MenuEnables(window, CommandId::kRemove));
        QVERIFY(MenuEnables(window, CommandId::kSelectAll));
        QCOMPARE(window.StatusText(StatusPane::kSelected), QStringLiteral("Selected:      2"));

        SelectRows(window, {0, 1, 2});
        QVERIFY(!MenuEnables(window, CommandId::kSelectAll));

        SelectRows(window, {});
        QVERIFY(!editButton->isEnabled());
        QVERIFY(window.Surfaces().ToolbarAction(CommandId::kAppend)->isEnabled());
        QVERIFY(window.Surfaces().ToolbarAction(CommandId::kPaste)->isEnabled());

        // Auto refresh runs from the start (AUTO_REFRESH=1); its toolbar
        // follows Start and Stop (StatusCommandsTest).
        QVERIFY(!window.Surfaces().ToolbarAction(CommandId::kAutoRefreshStart)->isEnabled());
        QVERIFY(MenuEnables(window, CommandId::kAutoRefreshStop));
    }

    void aFullListOrAnEmptyOneGreysWhatItCannotTake()
    {
        WindowFixture full("[SETTING]\nMAX_HOST_NUM=3\nAUTO_REFRESH=0\n" + kThreeHosts);
        CPondelDlg& window = full.Open();
        QVERIFY(!window.AutoRefreshRunning());
        for (const CommandId id :
            {CommandId::kAppend, CommandId::kImportHostList, CommandId::kCollectHosts})
            QVERIFY(!MenuEnables(window, id));
        QVERIFY(MenuEnables(window, CommandId::kExportHostList));

        WindowFixture empty("");
        CPondelDlg& emptyWindow = empty.Open();
        for (const CommandId id :
            {CommandId::kExportHostList, CommandId::kRefresh, CommandId::kSelectAll})
            QVERIFY(!MenuEnables(emptyWindow, id));
        QVERIFY(MenuEnables(emptyWindow, CommandId::kAppend));
    }

    void theTrayMenuFollowsTheWindowState()
    {
        WindowFixture fixture("[SETTING]\nTASK_TRAY_ICON=1\n" + kThreeHosts);
        CPondelDlg& window = fixture.Open();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(OpenedMenu(window.Surfaces().TrayMenu()),
            QStringList(
                {"Minimize\tCtrl+I", "~Restore Normal Size\tCtrl+S", "Move To Center\tCtrl+M", "-",
                    "~Select Group", "~Wake Group", "~Wake All", "-", "Exit Application"}));

        // Without a tray to hide in, Minimize leaves the window minimised.
        QVERIFY(!window.Surfaces().TrayIconAdded());
        window.Surfaces().TrayAction(CommandId::kMinimize)->trigger();
        QTRY_VERIFY(window.isMinimized());
        QVERIFY(window.isVisible());
        QCOMPARE(OpenedMenu(window.Surfaces().TrayMenu()).mid(0, 2),
            QStringList({"~Minimize\tCtrl+I", "Restore Normal Size\tCtrl+S"}));

        window.Surfaces().TrayAction(CommandId::kRestoreNormalSize)->trigger();
        QTRY_VERIFY(!window.isMinimized());
        window.Surfaces().TrayAction(CommandId::kExitApplication)->trigger();
        QVERIFY(!window.isVisible());
        QCOMPARE(fixture.Value("SETTING", "TASK_TRAY_ICON"), "1");
    }

    void keysReachTheirCommandsAndCtrlIDoesNothing()
    {
        WindowFixture fixture(kThreeHosts);
        CPondelDlg& window = fixture.Open();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.move(0, 0);
        QTest::keyClick(&window, Qt::Key_I, Qt::ControlModifier);
        QVERIFY(!window.isMinimized());
        QCOMPARE(window.pos(), QPoint(0, 0));
        QTest::keyClick(&window, Qt::Key_M, Qt::ControlModifier);
        QVERIFY(window.pos() != QPoint(0, 0));

        // Help's version item opens the version dialog.
        window.Surfaces().MenuAction(CommandId::kVersionInfo)->trigger();
        QCOMPARE(ModalSeam::ShownTexts(), QStringList({"Version Info"}));
    }

    void aButtonsDescriptionShowsInTheFirstPane()
    {
        WindowFixture fixture(kThreeHosts);
        CPondelDlg& window = fixture.Open();
        QStatusTipEvent shown(window.Surfaces().ToolbarAction(CommandId::kRefresh)->statusTip());
        QCoreApplication::sendEvent(&window, &shown);
        QCOMPARE(window.StatusText(StatusPane::kGeneral), "Updates the active status of the host");
        QStatusTipEvent gone{QString()};
        QCoreApplication::sendEvent(&window, &gone);
        QCOMPARE(window.StatusText(StatusPane::kGeneral), QString());
    }
};

} // namespace pondel::test

QTEST_MAIN(pondel::test::CommandsTest)
#include "CommandsTest.moc"
