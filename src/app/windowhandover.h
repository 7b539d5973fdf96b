#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

namespace inkvale {

// One window per user session: the first start takes a name on the session bus, and a later
// start hands its pictures over that name to the window already open instead of opening
// another. Without a session bus every start keeps its own window.
class WindowHandover : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tavrino.Inkvale")
public:
    static QString serviceName() { return QStringLiteral("org.tavrino.Inkvale"); }

    explicit WindowHandover(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                            QObject *parent = nullptr);
    ~WindowHandover() override;

    // Takes the session's name, so that later starts reach this one; false when another
    // start holds it or there is no bus.
    bool claim();
    // For a start that keeps its own window although another holds the name (a restart while
    // the old window is still ending, or a holder that did not answer): waits in the bus's
    // queue for the name, which it then gets when that holder ends, so later starts still
    // find a window.
    void queueForName();
    // Hands `paths` (absolute) to the start that holds the name; false when none took them.
    bool handOver(const QStringList &paths);

public slots:
    // What a later start asks over the bus.
    Q_SCRIPTABLE void addPictures(const QStringList &paths);

signals:
    void picturesArrived(const QStringList &paths);

private:
    bool exportObject();

    QDBusConnection m_bus;
    bool m_claimed = false;
    bool m_queued = false;
};

} // namespace inkvale
