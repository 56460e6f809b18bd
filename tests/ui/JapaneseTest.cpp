#include <QApplication>
#include <QMenu>
#include <QTest>

#include "CommandSurfaces.h"
#include "HostTableModel.h"
#include "ModalSeam.h"
#include "Translations.h"
#include "UiTestSupport.h"

namespace pondel::test {

// Runs with LANG=ja_JP.UTF-8: the user's locale picks the language.
class JapaneseTest final : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        ModalSeam::SetUnattended(true);
        InstallTranslations(*QCoreApplication::instance(), QLocale::system());
    }

    void aJapaneseLocaleShowsJapaneseMenusAndTexts()
    {
        WindowFixture fixture(HostSections({{"alpha", "", "192.0.2.1", "", ""}}));
        CPondelDlg& window = fixture.Open();
        QCOMPARE(window.Surfaces().MainMenu(MenuId::kFileMenu)->title(), "ファイル(&F)");
        QCOMPARE(window.Surfaces().MainMenu(MenuId::kToolMenu)->title(), "ツール(&T)");
        QCOMPARE(window.Surfaces().MenuAction(CommandId::kWakeUp)->text(), "起動(&W)\tCtrl+W");
        QCOMPARE(window.HostRows()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
            "ホスト名");
        QCOMPARE(window.HostRows()
                     ->headerData(HostTableModel::kGroupColumn, Qt::Horizontal, Qt::DisplayRole)
                     .toString(),
            "グループ");
        QCOMPARE(window.Surfaces().MenuAction(CommandId::kWakeGroup)->text(), "グループの起動(&K)");
        QCOMPARE(window.StatusText(StatusPane::kCount), "リスト数:      1");
        // The title comes from the version data and stays as it is.
        QCOMPARE(window.windowTitle(), "Vexmoor Ver.3.02");
    }
};

} // namespace pondel::test

QTEST_MAIN(pondel::test::JapaneseTest)
#include "JapaneseTest.moc"
