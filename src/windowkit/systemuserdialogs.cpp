#include "windowkit/systemuserdialogs.h"

#include "windowkit/messageboxcustombuttons.h"

#include <memory>
#include <QAbstractItemView>
#include <QFileDialog>

namespace inkvale {

QStringList SystemUserDialogs::chooseFiles(QWidget *parent, const QStringList &nameFilters)
{
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(nameFilters);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles();
}

QStringList SystemUserDialogs::chooseFolders(QWidget *parent, const QString &startFolder,
                                             bool several)
{
    QFileDialog dialog(parent, QStringLiteral("Select folder:"), startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Select"));
    if (several) {
        // Qt's own dialog lets its views select several folders; a native one would not.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        for (QAbstractItemView *view : dialog.findChildren<QAbstractItemView *>()) {
            view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        }
    }
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles();
}

void SystemUserDialogs::showMessage(QWidget *parent, QMessageBox::Icon icon, const QString &caption,
                                    const QString &text)
{
    QMessageBox box(icon, caption, displayText(text), QMessageBox::Ok, parent);
    box.exec();
}

QMessageBox::StandardButton
SystemUserDialogs::askWithButtons(QWidget *parent, const QString &message, QMessageBox::Icon icon,
                                  QMessageBox::StandardButtons buttons, const QStringList &captions,
                                  const QString &caption)
{
    const std::unique_ptr<QMessageBox> box =
        createCustomButtonsBox(parent, message, icon, buttons, captions, caption);
    box->exec();
    return box->standardButton(box->clickedButton());
}

} // namespace inkvale
