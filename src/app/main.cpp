#include "app/mainwindow.h"
#include "windowkit/appidentity.h"
#include "windowkit/makerweb.h"
#include "windowkit/systemdesktopactions.h"
#include "windowkit/systemuserdialogs.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char *argv[])
{
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
    return QApplication::exec();
}
