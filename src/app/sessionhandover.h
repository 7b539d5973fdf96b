#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <QObject>
#include <QStringList>
#include <set>

namespace inkvale {

// One window per user: the first start claims a name that later starts reach, and a later
// start hands its pictures to the window already open instead of opening another, and learns
// how many of them the window could add. How the starts meet depends on the system
// (makeSessionHandover()).
class SessionHandover : public QObject
{
    Q_OBJECT
public:
    // Any process of the user may call: a call with more paths than this, or with a path that
    // is longer (in UTF-8 bytes, as the system's longest path) or not absolute, is refused
    // whole. A start with more paths hands them over in several calls.
    static constexpr int kMaxPaths = 10000;
    static constexpr int kMaxPathBytes = 4096;

    // What became of pictures handed over.
    struct Outcome
    {
        enum class Status {
            NoWindow, // no window answered: this start opens its own
            Failed,   // the window refused them or went away; `message` says why
            Handled,  // the window handled every one and added `added` rows
        };
        Status status = Status::NoWindow;
        int added = 0;
        QString message;
    };

    // The holder's window: takes paths, returns the number of the intake that adds them.
    using Receiver = std::function<quint64(const QStringList &paths)>;

    using QObject::QObject;

    // Takes the name, so that later starts reach this one; false when another start holds it
    // or the system offers no way to meet.
    virtual bool claim() = 0;
    // For a start that keeps its own window although another holds the name (a restart while
    // the old window is still ending, or a holder that did not answer): takes the name when
    // that holder ends, so later starts still find a window.
    virtual void queueForName() = 0;
    // Hands `paths` (absolute) to the start that holds the name and waits until its window has
    // handled them all. Blocks: call it before the window exists.
    Outcome handOver(const QStringList &paths);

    void setReceiver(Receiver receiver) { m_receiver = std::move(receiver); }
    // The window's intake `intake` has handled its last file (ImageIntake::intakeFinished).
    void intakeFinished(quint64 intake, int added);

    // Why a call with these paths is refused; empty when it is not.
    static QString refusal(const QStringList &paths);

protected:
    // One call's worth of paths (at most kMaxPaths), handed over and waited for.
    virtual Outcome handOverPart(const QStringList &paths) = 0;

    // The holder's side of a later start's call. take() gives the intake's number (0 for no
    // paths), or the reason the paths are refused.
    struct Taken
    {
        quint64 intake = 0;
        QString refused;
    };
    Taken take(const QStringList &paths);
    // The rows intake `intake` added, -1 while it runs; nothing for an intake that was not
    // handed over or finished long ago.
    std::optional<int> outcome(quint64 intake) const;

private:
    Receiver m_receiver;
    // Intakes handed over and still running; those finished with the rows they added, the
    // most recent ones only.
    std::set<quint64> m_running;
    std::map<quint64, int> m_finished;
};

// The way this system's starts meet: the session bus on Linux, a local socket on Windows.
std::unique_ptr<SessionHandover> makeSessionHandover();

} // namespace inkvale
