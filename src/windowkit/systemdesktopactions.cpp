#include "windowkit/systemdesktopactions.h"

#include <QApplication>
#include <QDesktopServices>
#include <QProcess>

namespace inkvale {

bool SystemDesktopActions::openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

void SystemDesktopActions::restartProgram(const QString &executable)
{
    QProcess::startDetached(executable, {});
    QCoreApplication::quit();
}

void SystemDesktopActions::beep()
{
    QApplication::beep();
}

} // namespace inkvale
