#include "app/mainwindow.h"
#include "platform/interruption.h"
#include "windowkit/appidentity.h"
#include "windowkit/makerweb.h"
#include "windowkit/systemdesktopactions.h"
#include "windowkit/systemuserdialogs.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTimer>

int main(int argc, char *argv[])
{
    // A session that ends (logout: SIGTERM, SIGHUP) lets the window stop its tools and remove
    // its scratch folders before it quits, as closing it does.
    inkvale::platform::watchForInterruption();
    QApplication app(argc, argv);
    QApplication::setApplicationName(inkvale::applicationTitle());

    inkvale::SystemUserDialogs dialogs;
    inkvale::SystemDesktopActions desktop;
    inkvale::MainWindow::Environment environment;
    environment.executable = QApplication::applicationFilePath();
    environment.programFolder = QApplication::applicationDirPath();
    environment.configRoot =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    environment.dialogs = &dialogs;
    environment.desktop = &desktop;
    environment.updateCheck.exchange.host = inkvale::makerWebHost();

    inkvale::MainWindow form(environment);
    form.show();
    QTimer sessionEnd;
    QObject::connect(&sessionEnd, &QTimer::timeout, &form, [&form] {
        if (inkvale::platform::interruptionRequested()) {
            form.exitProgram();
        }
    });
    sessionEnd.start(100);
    return QApplication::exec();
}
