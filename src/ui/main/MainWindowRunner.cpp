#include "MainWindowRunner.h"

#include <clocale>

#include <QApplication>
#include <QGuiApplication>

#include "PondelDlg.h"
#include "TerminationSignals.h"
#include "Translations.h"

namespace pondel {

CPondelApp::MainWindowRunner MakeMainWindowRunner(int& argc, char** argv)
{
    return [&argc, argv](CPondelApp& app) {
        QApplication application(argc, argv);
        // Qt takes the user's locale for the C library too; numbers in files
        // and commands keep the C form.
        std::setlocale(LC_NUMERIC, "C");
        application.setQuitOnLastWindowClosed(false);
        InstallTranslations(application, QLocale::system());

        CPondelDlg window(app.SettingsPath(), app.Settings(), app.Hosts(), app.StartSettings());
        // The window has what it needs from the file as read at start.
        app.ReleaseStartSettings();
        TerminationSignals termination;
        QObject::connect(&termination, &TerminationSignals::Requested, &window, &QWidget::close);
        // The end of the desktop session closes the window like the user would.
        QObject::connect(&application, &QGuiApplication::commitDataRequest, &window,
            [&window](QSessionManager&) { window.close(); });
        QObject::connect(&window, &CPondelDlg::Closed, &application, &QCoreApplication::quit,
            Qt::QueuedConnection);
        window.show();
        QApplication::exec();
        // A quit that did not come through the window still saves.
        window.close();
        return 0;
    };
}

} // namespace pondel
