#include "app/mainwindow.h"
#include "app/sessionhandover.h"
#include "platform/interruption.h"
#include "windowkit/appidentity.h"
#include "windowkit/makerweb.h"
#include "windowkit/systemdesktopactions.h"
#include "windowkit/systemuserdialogs.h"

#include <QApplication>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

int main(int argc, char *argv[])
{
    // A session that ends (logout: SIGTERM, SIGHUP) lets the window stop its tools and remove
    // its scratch folders before it quits, as closing it does.
    inkvale::platform::watchForInterruption();
    QApplication app(argc, argv);
    QApplication::setApplicationName(inkvale::applicationTitle());

    // Pictures and folders to open (the menu entry's %F); made absolute, since the window
    // that takes them may have started in another folder.
    QStringList paths = QApplication::arguments().mid(1);
    for (QString &path : paths) {
        path = QFileInfo(path).absoluteFilePath();
    }
    const std::unique_ptr<inkvale::SessionHandover> handover = inkvale::makeSessionHandover();
    if (!handover->claim() && !paths.isEmpty() && handover->handOver(paths)) {
        return 0;
    }
    handover->queueForName();

    inkvale::SystemUserDialogs dialogs;
    inkvale::SystemDesktopActions desktop(dialogs);
    inkvale::MainWindow::Environment environment;
    environment.executable = QApplication::applicationFilePath();
    environment.programFolder = QApplication::applicationDirPath();
    environment.configRoot =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    environment.dialogs = &dialogs;
    environment.desktop = &desktop;
    environment.updateCheck.exchange.host = inkvale::makerWebHost();

    inkvale::MainWindow window(environment);
    QObject::connect(handover.get(), &inkvale::SessionHandover::picturesArrived, &window,
                     &inkvale::MainWindow::addOpenedPaths);
    window.show();
    if (!paths.isEmpty()) {
        window.addOpenedPaths(paths);
    }
    QTimer sessionEnd;
    QObject::connect(&sessionEnd, &QTimer::timeout, &window, [&window] {
        if (inkvale::platform::interruptionRequested()) {
            window.exitProgram();
        }
    });
    sessionEnd.start(100);
    return QApplication::exec();
}
