#pragma once

#include <memory>
#include <QMessageBox>
#include <QStringList>

namespace inkvale {

// The message box of messageBoxCustomButtons, not yet shown: its buttons stand in the
// standard order (Yes, No, OK, Cancel, Abort, Retry, Ignore, ...), the k-th taking the k-th
// caption when there is one.
std::unique_ptr<QMessageBox> createCustomButtonsBox(QWidget *parent, const QString &message,
                                                    QMessageBox::Icon icon,
                                                    QMessageBox::StandardButtons buttons,
                                                    const QStringList &captions,
                                                    const QString &caption);

// The Windows number of a dialog result (OK 1, Cancel 2, Abort 3, Retry 4, Ignore 5, Yes 6,
// No 7, Close 8, Help 9); 0 for none.
int dialogResultNumber(QMessageBox::StandardButton button);

// A text whose sentences are parted by carriage returns, as a box shows it.
QString displayText(QString text);

} // namespace inkvale
