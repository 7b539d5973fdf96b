#pragma once

#include "windowkit/userdialogs.h"

namespace inkvale {

// The real dialogs: Qt's file and folder dialogs and message boxes.
class SystemUserDialogs : public UserDialogs
{
public:
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

} // namespace inkvale
