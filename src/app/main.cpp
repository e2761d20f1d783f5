// The desktop program: a calendar, to-do manager and reminder that lives in the notification area.
#include "app/CDayvaultApp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dayvault"));
    QApplication::setOrganizationName(QStringLiteral("Quillmark"));
    QApplication::setApplicationVersion(QStringLiteral(DAYVAULT_VERSION));
    // The program stays in the notification area when its window is closed.
    QApplication::setQuitOnLastWindowClosed(false);

    dv::CDayvaultApp app(dv::AppEnvironment::FromProcess(QApplication::arguments()));
    // exit, not quit: quit would ask the windows to close once more, and the main window has
    // already saved everything when the user exits.
    QObject::connect(&app, &dv::CDayvaultApp::QuitRequested, &application,
                     [] { QCoreApplication::exit(0); });
    if (!app.Start()) {
        return app.HandedOverToOtherInstance() ? 0 : 1;
    }
    return QApplication::exec();
}
