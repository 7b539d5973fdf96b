#pragma once

#include <QProcess>
#include <QString>

namespace inkvale::test {

// A session bus of the test's own (dbus-daemon without service files: nothing is started on
// demand), ended with the object.
class PrivateSessionBus
{
public:
    PrivateSessionBus() = default;
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus &) = delete;
    PrivateSessionBus &operator=(const PrivateSessionBus &) = delete;

    // Starts the daemon, its socket and configuration in `folder`; false when dbus-daemon is
    // missing (Debian package dbus-daemon) or does not start.
    bool start(const QString &folder);
    // What DBUS_SESSION_BUS_ADDRESS names.
    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

} // namespace inkvale::test
