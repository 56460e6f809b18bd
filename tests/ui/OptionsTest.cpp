#include <functional>
#include <string>

#include <QAbstractButton>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "CommandSurfaces.h"
#include "HostTableModel.h"
#include "ModalSeam.h"
#include "COptionDlg.h"
#include "UiTestSupport.h"

namespace pondel::test {
namespace {

const std::string kTwoHosts = HostSections({
    {"alpha", "", "192.0.2.1", "", ""},
    {"beta", "", "192.0.2.2", "", ""},
});

template <typename T>
T* Field(QDialog& dialog, const char* name)
{
    T* widget = dialog.findChild<T*>(QLatin1String(name));
    if (widget == nullptr)
        qFatal("no field %s", name);
    return widget;
}

void SetText(QDialog& dialog, const char* edit, const QString& text)
{
    Field<QLineEdit>(dialog, edit)->setText(text);
}

void Click(QDialog& dialog, const char* button)
{
    Field<QAbstractButton>(dialog, button)->click();
}

// The next option dialog is filled by fill, then OK is pressed. Should OK
// be refused, the dialog is cancelled.
void AnswerOptions(std::function<void(QDialog&)> fill, bool* accepted = nullptr)
{
    ModalSeam::SetNextDialog([fill = std::move(fill), accepted](QDialog& dialog) {
        fill(dialog);
        Click(dialog, "okButton");
        if (accepted != nullptr)
            *accepted = dialog.result() == QDialog::Accepted;
        return dialog.result() == QDialog::Accepted ? QDialog::Accepted : QDialog::Rejected;
    });
}

QStringList MenuTexts(QMenu* menu)
{
    QStringList items;
    for (const QAction* action : menu->actions())
        items.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return items;
}

QList<int> RunningTimerPeriods(const CPondelDlg& window)
{
    QList<int> periods;
    for (const QTimer* timer : window.findChildren<QTimer*>()) {
        if (timer->isActive())
            periods.append(timer->interval());
    }
    return periods;
}

} // namespace

class OptionsTest final : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        ModalSeam::Reset();
        ModalSeam::SetUnattended(true);
    }

    void numbersOutsideTheirRangesKeepTheDialogOpen_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message"); // empty: accepted

        const QString timeout = QStringLiteral("Please enter an integer between 1 and 10000.");
        const QString port = QStringLiteral("Please enter an integer between 1 and 65535.");
        const QString interval = QStringLiteral("Please enter an integer between 10 and 65535.");
        QTest::newRow("timeout 0") << "icmpTimeOutEdit"
                                   << "0" << timeout;
        QTest::newRow("timeout 10000") << "icmpTimeOutEdit"
                                       << "10000"
                                       << "";
        QTest::newRow("timeout 10001") << "icmpTimeOutEdit"
                                       << "10001" << timeout;
        QTest::newRow("timeout empty") << "icmpTimeOutEdit"
                                       << ""
                                       << "Please enter an integer.";
        QTest::newRow("port 0") << "portNoEdit"
                                << "0" << port; // no wake could use it
        QTest::newRow("port 65535") << "portNoEdit"
                                    << "65535"
                                    << "";
        QTest::newRow("port 65536") << "portNoEdit"
                                    << "65536" << port;
        QTest::newRow("port beyond 32 bits") << "portNoEdit"
                                             << "4294967303" << port;
        QTest::newRow("hosts 0") << "maxHostNumEdit"
                                 << "0"
                                 << "";
        QTest::newRow("interval 9") << "timerIntervalEdit"
                                    << "9" << interval;
        QTest::newRow("interval 10") << "timerIntervalEdit"
                                     << "10"
                                     << "";
        const QString ports =
            QStringLiteral("Please enter port numbers between 1 and 65535, separated by commas.");
        const struct {
            const char* name;
            const char* edit;
            const char* text;
            QString message;
        } wake[] = {
            {"extra ports", "wakeExtraPortsEdit", "9, 4000", ""},
            {"extra port 0", "wakeExtraPortsEdit", "9,0", ports},
            {"extra port 65536", "wakeExtraPortsEdit", "65536", ports},
            {"extra port word", "wakeExtraPortsEdit", "9;echo", ports},
            {"repeats 0", "wakeRepeatCountEdit", "0", "Please enter an integer between 1 and 10."},
            {"repeats 10", "wakeRepeatCountEdit", "10", ""},
            {"round interval 10001", "wakeRepeatIntervalEdit", "10001",
                "Please enter an integer between 1 and 10000."},
            {"confirm interval 99", "wakeConfirmIntervalEdit", "99",
                "Please enter an integer between 100 and 60000."},
            {"confirm timeout 0", "wakeConfirmTimeoutEdit", "0", ""},
            {"confirm timeout 3601", "wakeConfirmTimeoutEdit", "3601",
                "Please enter an integer between 0 and 3600."},
            {"resend 3600", "wakeResendSecondsEdit", "3600", ""},
        };
        for (const auto& row : wake)
            QTest::newRow(row.name) << row.edit << row.text << row.message;
    }

    void numbersOutsideTheirRangesKeepTheDialogOpen()
    {
        QFETCH(QString, edit);
        QFETCH(QString, text);
        QFETCH(QString, message);
        // An empty list: a lower maximum then needs no word of its own.
        WindowFixture fixture("");
        CPondelDlg& window = fixture.Open();
        const AppSettings before = fixture.settings;

        bool accepted = false;
        AnswerOptions([&](QDialog& dialog) { SetText(dialog, edit.toLatin1().constData(), text); },
            &accepted);
        window.RunCommand(CommandId::kOption);

        const QStringList shown = ModalSeam::ShownTexts();
        QCOMPARE(shown.first(), "Option");
        // Where an accepted value goes is theDialogShowsTheSettingsAndOkSavesThemOnClose's.
        QCOMPARE(accepted, message.isEmpty());
        QCOMPARE(shown.mid(1), message.isEmpty() ? QStringList{} : QStringList{message});
        if (!message.isEmpty()) {
            QCOMPARE(fixture.settings.icmpTimeOut, before.icmpTimeOut);
            QCOMPARE(fixture.settings.portNo, before.portNo);
            QCOMPARE(fixture.settings.maxHostNum, before.maxHostNum);
            QCOMPARE(fixture.settings.timerInterval, before.timerInterval);
        }
    }

    void onlyTheFirstBadNumberIsNamedAndARetryIsAccepted()
    {
        WindowFixture fixture(kTwoHosts);
        CPondelDlg& window = fixture.Open();
        bool firstAccepted = true;
        ModalSeam::SetNextDialog([&](QDialog& dialog) {
            SetText(dialog, "timerIntervalEdit", "5");
            SetText(dialog, "maxHostNumEdit", "70000");
            SetText(dialog, "portNoEdit", "99999");
            Click(dialog, "okButton");
            firstAccepted = dialog.result() == QDialog::Accepted;
            SetText(dialog, "portNoEdit", "9");
            SetText(dialog, "maxHostNumEdit", "200");
            SetText(dialog, "timerIntervalEdit", "10");
            Click(dialog, "okButton");
            return dialog.result();
        });
        window.RunCommand(CommandId::kOption);
        QVERIFY(!firstAccepted);
        QCOMPARE(ModalSeam::ShownTexts(),
            QStringList({"Option", "Please enter an integer between 1 and 65535."}));
        QCOMPARE(fixture.settings.portNo, 9U);
        QCOMPARE(fixture.settings.maxHostNum, 200U);
        QCOMPARE(fixture.settings.timerInterval, 10U);
    }

    void aMarkTypeIsTakenOnlyWithTheNumbersInRange()
    {
        COptionDlg dialog;
        OptionValues values;
        values.icmpTimeOut = 30;
        values.portNo = 7;
        values.timerInterval = 60;
        dialog.SetValues(values);
        QWidget* markText = Field<QLineEdit>(dialog, "markTextEdit");
        SetText(dialog, "icmpTimeOutEdit", "0");
        Click(dialog, "textMarkRadioButton");
        QCOMPARE(
            ModalSeam::ShownTexts(), QStringList({"Please enter an integer between 1 and 10000."}));
        QVERIFY(Field<QAbstractButton>(dialog, "iconMarkRadioButton")->isChecked());
        QVERIFY(!markText->isEnabled());

        SetText(dialog, "icmpTimeOutEdit", "40");
        Click(dialog, "textMarkRadioButton");
        QCOMPARE(ModalSeam::ShownTexts().size(), 1);
        QVERIFY(markText->isEnabled());
        QCOMPARE(dialog.Values().icmpTimeOut, 30U); // taken at OK only
    }

    void chosenColoursDrawTheTextMark()
    {
        WindowFixture fixture(kTwoHosts);
        fixture.hosts[1].active = 1;
        CPondelDlg& window = fixture.Open();
        ModalSeam::SetNextColor(QColor(255, 0, 0));
        ModalSeam::SetNextColor(std::nullopt);
        AnswerOptions([](QDialog& dialog) {
            Click(dialog, "textMarkRadioButton");
            Click(dialog, "backColorSwatch");
            Click(dialog, "textColorSwatch"); // cancelled: the colour stays
            SetText(dialog, "markTextEdit", "UP");
        });
        window.RunCommand(CommandId::kOption);

        QCOMPARE(fixture.settings.activeMarkType, 1U);
        QCOMPARE(fixture.settings.activeMarkBackColor, MakeColor(255, 0, 0));
        QCOMPARE(fixture.settings.activeMarkTextColor, MakeColor(0, 0, 0));
        const HostTableModel& rows = *window.HostRows();
        QCOMPARE(rows.index(1, 0).data().toString(), "UP");
        QCOMPARE(rows.index(1, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 0, 0));
        QCOMPARE(rows.index(1, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 0));
        QVERIFY(!rows.index(0, 0).data(Qt::BackgroundRole).isValid());

        // With the type unchanged, a new colour shows at once as well.
        ModalSeam::SetNextColor(QColor(0, 0, 255));
        AnswerOptions([](QDialog& dialog) { Click(dialog, "textColorSwatch"); });
        window.RunCommand(CommandId::kOption);
        QCOMPARE(rows.index(1, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));

        AnswerOptions([](QDialog& dialog) { Click(dialog, "iconMarkRadioButton"); });
        window.RunCommand(CommandId::kOption);
        QCOMPARE(fixture.settings.activeMarkType, 0U);
        QVERIFY(!rows.Style().textMode);
        QVERIFY(!rows.index(1, 0).data(Qt::BackgroundRole).isValid());
    }

    void autoRefreshAndTheShutdownItemFollowAtOnce()
    {
        WindowFixture fixture("[SETTING]\nAUTO_REFRESH=0\n" + kTwoHosts);
        CPondelDlg& window = fixture.Open();
        QMenu* tool = window.Surfaces().MainMenu(MenuId::kToolMenu);
        const QStringList withoutShutdown = MenuTexts(tool);
        QVERIFY(!window.AutoRefreshRunning());

        AnswerOptions([](QDialog& dialog) {
            Click(dialog, "autoRefreshCheckBox");
            Click(dialog, "remoteShutdownCheckBox");
            SetText(dialog, "shutdownCommandEdit", "ssh root@%s poweroff");
        });
        window.RunCommand(CommandId::kOption);
        QVERIFY(window.AutoRefreshRunning());
        QCOMPARE(RunningTimerPeriods(window), QList<int>{60000});
        QCOMPARE(fixture.settings.shutdownCommand, "ssh root@%s poweroff");

        // A new interval takes effect at once.
        AnswerOptions([](QDialog& dialog) { SetText(dialog, "timerIntervalEdit", "30"); });
        window.RunCommand(CommandId::kOption);
        QCOMPARE(fixture.settings.timerInterval, 30U);
        QCOMPARE(RunningTimerPeriods(window), QList<int>{30000});
        WindowFixture withShutdown("[SETTING]\nENABLE_REMOTE_SHUTDOWN=1\n" + kTwoHosts);
        QCOMPARE(
            MenuTexts(tool), MenuTexts(withShutdown.Open().Surfaces().MainMenu(MenuId::kToolMenu)));

        AnswerOptions([](QDialog& dialog) {
            Click(dialog, "autoRefreshCheckBox");
            Click(dialog, "remoteShutdownCheckBox");
        });
        window.RunCommand(CommandId::kOption);
        QVERIFY(!window.AutoRefreshRunning());
        QCOMPARE(MenuTexts(tool), withoutShutdown);
        QCOMPARE(window.Surfaces().MenuAction(CommandId::kShutdownHost), nullptr);
    }

    // Options that cannot take effect as asked say so.
    void optionsTakeEffectOrSayWhyNot_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("checkBox");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<bool>("appendEnabled");
        QTest::newRow("tray asked for where there is none") << ""
                                                            << ""
                                                            << "taskTrayIconCheckBox"
                                                            << "There is no system tray" << true;
        QTest::newRow("maximum lowered below the list") << "maxHostNumEdit"
                                                        << "1"
                                                        << ""
                                                        << "The list holds 2 hosts" << false;
    }

    void optionsTakeEffectOrSayWhyNot()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, checkBox);
        QFETCH(QString, notice);
        QFETCH(bool, appendEnabled);
        WindowFixture fixture(kTwoHosts);
        CPondelDlg& window = fixture.Open();
        ModalSeam::Reset();
        ModalSeam::SetUnattended(true);
        AnswerOptions([&](QDialog& dialog) {
            if (!field.isEmpty())
                SetText(dialog, field.toLatin1().constData(), value);
            if (!checkBox.isEmpty())
                Click(dialog, checkBox.toLatin1().constData());
        });
        window.RunCommand(CommandId::kOption);
        // The dialog's title, then the one notice.
        const QStringList shown = ModalSeam::ShownTexts();
        QVERIFY2(shown.size() == 2 && shown[1].startsWith(notice), qPrintable(shown.join('|')));
        // The menu item and the toolbar button agree.
        emit window.Surfaces().MainMenu(MenuId::kEditMenu)->aboutToShow();
        QCOMPARE(window.Surfaces().MenuAction(CommandId::kAppend)->isEnabled(), appendEnabled);
        QCOMPARE(window.Surfaces().ToolbarAction(CommandId::kAppend)->isEnabled(), appendEnabled);
        ModalSeam::Reset();
    }

    void cancelChangesNothing()
    {
        WindowFixture fixture(kTwoHosts);
        CPondelDlg& window = fixture.Open();
        const AppSettings saved = fixture.settings;
        ModalSeam::SetNextColor(QColor(1, 2, 3));
        ModalSeam::SetNextDialog([](QDialog& dialog) {
            SetText(dialog, "icmpTimeOutEdit", "500");
            SetText(dialog, "shutdownCommandEdit", "other %s");
            Click(dialog, "textMarkRadioButton");
            Click(dialog, "backColorSwatch");
            Click(dialog, "autoRefreshCheckBox");
            Click(dialog, "cancelButton");
            return dialog.result();
        });
        window.RunCommand(CommandId::kOption);
        QCOMPARE(fixture.settings.icmpTimeOut, saved.icmpTimeOut);
        QCOMPARE(fixture.settings.shutdownCommand, saved.shutdownCommand);
        QCOMPARE(fixture.settings.activeMarkType, saved.activeMarkType);
        QCOMPARE(fixture.settings.activeMarkBackColor, saved.activeMarkBackColor);
        QCOMPARE(fixture.settings.autoRefresh, saved.autoRefresh);
        QCOMPARE(window.AutoRefreshRunning(), saved.autoRefresh != 0);
        QVERIFY(!window.HostRows()->Style().textMode);
    }

    void theDialogShowsTheSettingsAndOkSavesThemOnClose()
    {
        WindowFixture fixture("[SETTING]\nICMP_TIME_OUT=250\nPORT_NO=9\nMAX_HOST_NUM=300\n"
                              "TIMER_INTERVAL=120\nINIT_REFRESH=0\nACTIVE_MARK_TEXT=\" ok \"\n" +
            kTwoHosts);
        CPondelDlg& window = fixture.Open();
        const QHeaderView* columns = window.HostListView()->horizontalHeader();
        QVERIFY(columns->isSectionHidden(HostTableModel::kVendorColumn));
        QString shownTimeout;
        QString shownMark;
        AnswerOptions([&](QDialog& dialog) {
            shownTimeout = Field<QLineEdit>(dialog, "icmpTimeOutEdit")->text();
            shownMark = Field<QLineEdit>(dialog, "markTextEdit")->text();
            SetText(dialog, "icmpTimeOutEdit", "1500");
            SetText(dialog, "portNoEdit", "4000");
            SetText(dialog, "maxHostNumEdit", "50");
            SetText(dialog, "timerIntervalEdit", "30");
            Click(dialog, "initRefreshCheckBox");
            Click(dialog, "noExternalCommandCheckBox");
            Click(dialog, "checkNetworkSegmentCheckBox");
            Click(dialog, "nonBroadcastDfltCheckBox");
            Click(dialog, "textMarkRadioButton");
            SetText(dialog, "markTextEdit", "ON\nLINE");
            Click(dialog, "remoteShutdownCheckBox");
            SetText(dialog, "shutdownCommandEdit", "poweroff-host \"%s\"");
            Click(dialog, "unicastCheckBox");
            Click(dialog, "rawFrameCheckBox");
            SetText(dialog, "wakeExtraPortsEdit", " 9  4000 ");
            SetText(dialog, "wakeRepeatCountEdit", "3");
            SetText(dialog, "wakeRepeatIntervalEdit", "250");
            SetText(dialog, "wakeConfirmIntervalEdit", "2000");
            SetText(dialog, "wakeConfirmTimeoutEdit", "0");
            SetText(dialog, "wakeResendSecondsEdit", "30");
            Click(dialog, "arpProbeCheckBox");
            Click(dialog, "vendorColumnCheckBox");
        });
        window.RunCommand(CommandId::kOption);
        QVERIFY(!columns->isSectionHidden(HostTableModel::kVendorColumn));
        const int vendorWidth = columns->sectionSize(HostTableModel::kVendorColumn);
        QVERIFY(vendorWidth > 0);
        QCOMPARE(shownTimeout, "250");
        QCOMPARE(shownMark, " ok ");
        QVERIFY(window.close());

        const std::pair<const char*, const char*> expected[] = {
            {"ICMP_TIME_OUT", "1500"},
            {"PORT_NO", "4000"},
            {"MAX_HOST_NUM", "50"},
            {"TIMER_INTERVAL", "30"},
            {"INIT_REFRESH", "1"},
            {"NO_EXTERNAL_COMMAND", "1"},
            {"CHECK_NETWORK_SEGMENT", "1"},
            {"NON_BROADCAST_DFLT", "1"},
            {"ACTIVE_MARK_TYPE", "1"},
            {"ACTIVE_MARK_TEXT", "ON LINE"},
            {"ENABLE_REMOTE_SHUTDOWN", "1"},
            {"SHUTDOWN_COMMAND", "poweroff-host \"%s\""},
            {"WAKE_PATHS", "20"}, // the unicast and raw frame bits
            {"WAKE_EXTRA_PORTS", "9 4000"},
            {"WAKE_REPEAT_COUNT", "3"},
            {"WAKE_REPEAT_INTERVAL", "250"},
            {"WAKE_CONFIRM_INTERVAL", "2000"},
            {"WAKE_CONFIRM_TIMEOUT", "0"},
            {"WAKE_RESEND_SECONDS", "30"},
            {"ARP_PROBE", "0"},
            {"VENDOR_COLUMN", "1"},
        };
        for (const auto& [key, value] : expected)
            QVERIFY2(fixture.Value("SETTING", key) == value,
                (std::string(key) + " is " + fixture.Value("SETTING", key)).c_str());
        QCOMPARE(fixture.Value("WINDOW", "ITEM_WIDTH_VENDOR"), std::to_string(vendorWidth));
    }
};

} // namespace pondel::test

QTEST_MAIN(pondel::test::OptionsTest)
#include "OptionsTest.moc"
