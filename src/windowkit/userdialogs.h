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

    // The file-open dialog offering `nameFilters` (Qt's form: "Image Files (*.png *.jpg)");
    // several files may be chosen. Empty when cancelled.
    virtual QStringList chooseFiles(QWidget *parent, const QStringList &nameFilters) = 0;
    // The folder picker ("Select folder:", button "Select"), starting at `startFolder`;
    // `several` lets the user pick more than one. Empty when cancelled.
    virtual QStringList chooseFolders(QWidget *parent, const QString &startFolder,
                                      bool several) = 0;
    // A box with one OK button. Carriage returns in `text` are line breaks.
    virtual void showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &caption,
                             const QString &text) = 0;
    // The box of messageBoxCustomButtons; answers the button pressed, NoButton when closed.
    virtual QMessageBox::StandardButton askWithButtons(QWidget *parent, const QString &message,
                                                       QMessageBox::Icon icon,
                                                       QMessageBox::StandardButtons buttons,
                                                       const QStringList &captions,
                                                       const QString &caption) = 0;
};

} // namespace inkvale
