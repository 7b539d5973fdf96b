#include "windowkit/systemdesktopactions.h"

#include "windowkit/userdialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QProcess>

namespace inkvale {

SystemDesktopActions::SystemDesktopActions(UserDialogs &dialogs)
    : m_dialogs(dialogs)
{}

bool SystemDesktopActions::openUrl(const QUrl &url)
{
    if (QDesktopServices::openUrl(url)) {
        return true;
    }
    // No opener at all (on Linux: no xdg-open): the desktop itself only writes to stderr.
    // A page that opens but fails to load is the browser's to report.
    m_dialogs.showMessage(QApplication::activeWindow(), QMessageBox::Critical,
                          QStringLiteral("ERROR"),
                          QStringLiteral("No program was found to open \"%1\".")
                              .arg(url.toDisplayString(QUrl::PreferLocalFile)));
    return false;
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
