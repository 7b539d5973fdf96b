#pragma once

#include <memory>
#include <QObject>
#include <QStringList>

namespace inkvale {

// One window per user: the first start claims a name that later starts reach, and a later
// start hands its pictures to the window already open instead of opening another. How the
// starts meet depends on the system (makeSessionHandover()).
class SessionHandover : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Takes the name, so that later starts reach this one; false when another start holds it
    // or the system offers no way to meet.
    virtual bool claim() = 0;
    // For a start that keeps its own window although another holds the name (a restart while
    // the old window is still ending, or a holder that did not answer): takes the name when
    // that holder ends, so later starts still find a window.
    virtual void queueForName() = 0;
    // Hands `paths` (absolute) to the start that holds the name; false when none took them.
    // Waits for the holder's answer: call it before the window exists.
    virtual bool handOver(const QStringList &paths) = 0;

signals:
    void picturesArrived(const QStringList &paths);
};

// The way this system's starts meet: the session bus on Linux, a local socket on Windows.
std::unique_ptr<SessionHandover> makeSessionHandover();

} // namespace inkvale
