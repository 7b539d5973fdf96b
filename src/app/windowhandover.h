#pragma once

#include "app/sessionhandover.h"

#include <QDBusConnection>
#include <QDBusContext>

namespace inkvale {

// The handover over the session bus: the first start takes a name on it, later starts call
// that name. Without a session bus every start keeps its own window.
class WindowHandover : public SessionHandover, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tavrino.Inkvale")
public:
    static QString serviceName() { return QStringLiteral("org.tavrino.Inkvale"); }

    explicit WindowHandover(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                            QObject *parent = nullptr);
    ~WindowHandover() override;

    bool claim() override;
    // Waits in the bus's queue for the name, which the bus gives it when the holder ends.
    void queueForName() override;

public slots:
    // What a later start asks over the bus: the paths to add, answered with the intake's
    // number; then, until it reads 0 or more, how many rows that intake added (-1 while it
    // runs).
    Q_SCRIPTABLE qulonglong addPictures(const QStringList &paths);
    Q_SCRIPTABLE int intakeOutcome(qulonglong intake);

protected:
    Outcome handOverPart(const QStringList &paths) override;

private:
    bool exportObject();

    QDBusConnection m_bus;
    bool m_claimed = false;
    bool m_queued = false;
};

} // namespace inkvale
