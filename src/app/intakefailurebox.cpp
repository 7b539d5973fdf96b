#include "app/intakefailurebox.h"

#include "windowkit/userdialogs.h"

#include <QPointer>
#include <QTimer>
#include <utility>

namespace inkvale {
namespace {

// Longer texts are cut in the middle: a box lays out a path of a megabyte for seconds.
constexpr qsizetype kLongestText = 1000;

QString shortened(const QString &text)
{
    if (text.size() <= kLongestText) {
        return text;
    }
    const qsizetype half = kLongestText / 2;
    return text.left(half) + QChar(0x2026) + text.right(half - 1);
}

} // namespace

IntakeFailureBox::IntakeFailureBox(UserDialogs &dialogs, QWidget *window)
    : QObject(window)
    , m_dialogs(dialogs)
    , m_window(window)
{}

void IntakeFailureBox::report(const QList<ImageIntake::Failure> &failures)
{
    for (const ImageIntake::Failure &failure : failures) {
        if (m_shown.size() < kShownFailures) {
            m_shown.append(failure);
        } else {
            ++m_more;
        }
    }
    if (!m_shown.isEmpty() && !m_scheduled && !m_open) {
        m_scheduled = true;
        QTimer::singleShot(0, this, &IntakeFailureBox::show);
    }
}

QString IntakeFailureBox::text(const QList<ImageIntake::Failure> &shown, qsizetype more)
{
    if (shown.size() == 1 && more == 0) {
        return shortened(shown[0].path) + QStringLiteral("\r\r") + shortened(shown[0].message);
    }
    QStringList blocks;
    for (const ImageIntake::Failure &failure : shown) {
        blocks.append(shortened(failure.path) + u'\r' + shortened(failure.message));
    }
    if (more == 1) {
        blocks.append(QStringLiteral("1 more file could not be read."));
    } else if (more > 1) {
        blocks.append(QStringLiteral("%1 more files could not be read.").arg(more));
    }
    return blocks.join(QStringLiteral("\r\r"));
}

void IntakeFailureBox::show()
{
    m_scheduled = false;
    const QList<ImageIntake::Failure> shown = std::exchange(m_shown, {});
    const qsizetype more = std::exchange(m_more, 0);
    if (shown.isEmpty()) {
        return;
    }
    // Modal: its own event loop runs, and what fails meanwhile waits for the next box.
    m_open = true;
    const QPointer<IntakeFailureBox> alive(this);
    m_dialogs.showMessage(m_window, QMessageBox::Critical, QStringLiteral("ERROR"),
                          text(shown, more));
    if (alive.isNull()) {
        return; // the window closed meanwhile
    }
    m_open = false;
    report({});
}

} // namespace inkvale
