#pragma once

#include "app/mainwindow.h"
#include "windowkit/desktopactions.h"
#include "windowkit/userdialogs.h"

#include <QList>
#include <QQueue>

namespace inkvale::test {

// Dialogs that answer from queues filled by the test and record every message; nothing
// modal ever opens.
class RecordingDialogs : public UserDialogs
{
public:
    struct Message
    {
        QMessageBox::Icon icon;
        QString caption;
        QString text;
    };
    struct Question
    {
        QString message;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QStringList captions;
        QString caption;
    };

    // Answers of the next file and folder dialogs; an empty queue answers "cancelled".
    QQueue<QStringList> fileAnswers;
    QQueue<QStringList> folderAnswers;
    QMessageBox::StandardButton questionAnswer = QMessageBox::No;

    QList<Message> messages;
    QList<Question> questions;
    // The start folder and the "several" flag of each folder dialog.
    QList<QPair<QString, bool>> folderDialogs;
    QList<QStringList> fileDialogFilters;

    QStringList chooseFiles(QWidget *parent, const QStringList &nameFilters) override;
    QStringList chooseFolders(QWidget *parent, const QString &startFolder, bool several) override;
    void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &caption,
                     const QString &text) override;
    QMessageBox::StandardButton askWithButtons(QWidget *parent, const QString &message,
                                               QMessageBox::Icon icon,
                                               QMessageBox::StandardButtons buttons,
                                               const QStringList &captions,
                                               const QString &caption) override;
};

// A desktop that only records what it was asked.
class RecordingDesktop : public DesktopActions
{
public:
    QList<QUrl> openedUrls;
    QStringList restarts;
    int beeps = 0;

    bool openUrl(const QUrl &url) override;
    void restartProgram(const QString &executable) override;
    void beep() override { ++beeps; }
};

// Makes `programFolder`/gmic/gmic a link to the tool the build links in, with Inkvale's recipes
// beside it as in the build folder; false on failure.
bool linkBuiltTool(const QString &programFolder);

// What a main window needs to run as the built program from `programFolder`, with the
// stand-ins for its dialogs and desktop and its per-user folder in the temporary folder.
MainWindow::Environment standInEnvironment(const QString &programFolder, RecordingDialogs &dialogs,
                                           RecordingDesktop &desktop, bool probeEffects);

} // namespace inkvale::test
