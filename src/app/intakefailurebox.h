#pragma once

#include "imagelist/imageintake.h"

#include <QList>
#include <QObject>

class QWidget;

namespace inkvale {

class UserDialogs;

// The "ERROR" box of the files an intake could not read: one box for a whole intake, however
// many files failed, and never a second one while one is open. What fails meanwhile (other
// drops, pictures another start hands over) is gathered into the next box.
class IntakeFailureBox : public QObject
{
    Q_OBJECT
public:
    IntakeFailureBox(UserDialogs &dialogs, QWidget *window);

    // Gathers `failures`; the box shows once the event loop runs again, so that the intake
    // goes on adding rows meanwhile.
    void report(const QList<inkvale::ImageIntake::Failure> &failures);

    // The box's text: one file as its path, two line breaks and the reader's words; several
    // as the first of them, each path with its words under it, and a count of the rest. Paths
    // and words are shortened in the middle beyond a length a box can lay out.
    static QString text(const QList<ImageIntake::Failure> &shown, qsizetype more);

    // How many failures a box names; the rest are counted.
    static constexpr qsizetype kShownFailures = 5;

private:
    void show();

    UserDialogs &m_dialogs;
    QWidget *m_window;
    QList<ImageIntake::Failure> m_shown;
    qsizetype m_more = 0;
    bool m_scheduled = false;
    bool m_open = false;
};

} // namespace inkvale
