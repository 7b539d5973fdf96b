#include "windowkit/messageboxcustombuttons.h"

#include <array>
#include <QPushButton>

namespace inkvale {
namespace {

struct ButtonNumber
{
    QMessageBox::StandardButton button;
    int number;
};

// The standard order of the buttons in a box, with their Windows result numbers.
constexpr std::array<ButtonNumber, 12> kButtonOrder{{
    {QMessageBox::Yes, 6},
    {QMessageBox::No, 7},
    {QMessageBox::Ok, 1},
    {QMessageBox::Cancel, 2},
    {QMessageBox::Abort, 3},
    {QMessageBox::Retry, 4},
    {QMessageBox::Ignore, 5},
    {QMessageBox::YesToAll, 6},
    {QMessageBox::NoToAll, 7},
    {QMessageBox::Help, 9},
    {QMessageBox::Close, 8},
    {QMessageBox::Apply, 1},
}};

} // namespace

QString displayText(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

std::unique_ptr<QMessageBox> createCustomButtonsBox(QWidget *parent, const QString &message,
                                                    QMessageBox::Icon icon,
                                                    QMessageBox::StandardButtons buttons,
                                                    const QStringList &captions,
                                                    const QString &caption)
{
    auto box = std::make_unique<QMessageBox>(icon, caption, displayText(message),
                                             QMessageBox::NoButton, parent);
    qsizetype k = 0;
    for (const ButtonNumber &entry : kButtonOrder) {
        if (!buttons.testFlag(entry.button)) {
            continue;
        }
        QAbstractButton *button = box->addButton(entry.button);
        if (k < captions.size()) {
            button->setText(captions.at(k));
        }
        ++k;
    }
    return box;
}

int dialogResultNumber(QMessageBox::StandardButton button)
{
    for (const ButtonNumber &entry : kButtonOrder) {
        if (entry.button == button) {
            return entry.number;
        }
    }
    return 0;
}

} // namespace inkvale
