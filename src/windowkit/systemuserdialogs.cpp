#include "windowkit/systemuserdialogs.h"

#include "windowkit/messageboxcustombuttons.h"

#include <QAbstractItemView>
#include <QFileDialog>

namespace inkvale {

QStringList qtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        // "*.*" means every file, also one without a dot.
        patterns.replaceInStrings(QStringLiteral("*.*"), QStringLiteral("*"));
        filters.append(parts.at(i) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')'));
    }
    return filters;
}

QStringList SystemUserDialogs::chooseFiles(QWidget *parent, const QString &filter)
{
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(qtNameFilters(filter));
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

int SystemUserDialogs::askWithButtons(QWidget *parent, const QString &message,
                                      QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                                      const QStringList &captions, const QString &caption)
{
    return messageBoxCustomButtons(parent, message, icon, buttons, captions, caption);
}

} // namespace inkvale
