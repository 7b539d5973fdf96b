#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

namespace inkvale {

// The modal dialogs the main window opens. Tests replace them, so that no real modal
// dialog ever waits for a user.
class UserDialogs
{
public:
    virtual ~UserDialogs() = default;

    // The file-open dialog with `filter` ("Name|patterns|Name|patterns"); several files may
    // be chosen. Empty when cancelled.
    virtual QStringList chooseFiles(QWidget *parent, const QString &filter) = 0;
    // The folder picker ("Select folder:", button "Select"), starting at `startFolder`;
    // `several` lets the user pick more than one. Empty when cancelled.
    virtual QStringList chooseFolders(QWidget *parent, const QString &startFolder,
                                      bool several) = 0;
    // A box with one OK button. Carriage returns in `text` are line breaks.
    virtual void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &caption,
                             const QString &text) = 0;
    // messageBoxCustomButtons: the pressed button in the Windows numbering (Yes 6, No 7).
    virtual int askWithButtons(QWidget *parent, const QString &message, QMessageBox::Icon icon,
                               QMessageBox::StandardButtons buttons, const QStringList &captions,
                               const QString &caption) = 0;
};

} // namespace inkvale
