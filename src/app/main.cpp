#include "app/appidentity.h"
#include "app/makerweb.h"
#include "app/systemdesktopactions.h"
#include "app/systemuserdialogs.h"
#include "app/tappform.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(inkvale::applicationTitle());

    inkvale::SystemUserDialogs dialogs;
    inkvale::SystemDesktopActions desktop;
    inkvale::TAppForm::Environment environment;
    environment.executable = QApplication::applicationFilePath();
    environment.programFolder = QApplication::applicationDirPath();
    environment.configRoot =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    environment.dialogs = &dialogs;
    environment.desktop = &desktop;
    environment.updateCheck.exchange.host = inkvale::makerWebHost();

    inkvale::TAppForm form(environment);
    form.show();
    return QApplication::exec();
}
