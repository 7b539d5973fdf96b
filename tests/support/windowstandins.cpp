#include "support/windowstandins.h"

#include "app/appsettings.h"

#include <QDir>
#include <QFile>

namespace inkvale::test {

QStringList RecordingDialogs::chooseFiles(QWidget *, const QStringList &nameFilters)
{
    fileDialogFilters.append(nameFilters);
    return fileAnswers.isEmpty() ? QStringList() : fileAnswers.dequeue();
}

QStringList RecordingDialogs::chooseFolders(QWidget *, const QString &startFolder, bool several)
{
    folderDialogs.append({startFolder, several});
    return folderAnswers.isEmpty() ? QStringList() : folderAnswers.dequeue();
}

void RecordingDialogs::showMessage(QWidget *, QMessageBox::Icon icon, const QString &caption,
                                   const QString &text)
{
    messages.append({icon, caption, text});
}

QMessageBox::StandardButton RecordingDialogs::askWithButtons(QWidget *, const QString &message,
                                                             QMessageBox::Icon icon,
                                                             QMessageBox::StandardButtons buttons,
                                                             const QStringList &captions,
                                                             const QString &caption)
{
    questions.append({message, icon, buttons, captions, caption});
    return questionAnswer;
}

bool RecordingDesktop::openUrl(const QUrl &url)
{
    openedUrls.append(url);
    return true;
}

void RecordingDesktop::restartProgram(const QString &executable)
{
    restarts.append(executable);
}

bool linkBuiltTool(const QString &programFolder)
{
    return QDir(programFolder).mkpath(QStringLiteral("gmic")) &&
           QFile::link(QStringLiteral(INKVALE_BIN_DIR "/gmic/gmic"),
                       programFolder + QStringLiteral("/gmic/gmic")) &&
           QFile::link(QStringLiteral(INKVALE_BIN_DIR "/inkvale-recipes.gmic"),
                       programFolder + QStringLiteral("/inkvale-recipes.gmic"));
}

MainWindow::Environment standInEnvironment(const QString &programFolder, RecordingDialogs &dialogs,
                                           RecordingDesktop &desktop, bool probeEffects)
{
    // A portable copy keeps its settings beside itself, where the tests look for them.
    QFile marker(programFolder + u'/' + AppSettings::portableMarker());
    marker.open(QIODevice::WriteOnly);
    MainWindow::Environment environment;
    // The built program carries the version information the window names itself after.
    environment.executable = QStringLiteral(INKVALE_BIN_DIR "/inkvale" INKVALE_EXECUTABLE_SUFFIX);
    environment.programFolder = programFolder;
    environment.configRoot = QDir::temp().filePath(QStringLiteral("config"));
    environment.dialogs = &dialogs;
    environment.desktop = &desktop;
    environment.probeEffects = probeEffects;
    return environment;
}

} // namespace inkvale::test
