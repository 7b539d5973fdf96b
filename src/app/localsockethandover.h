#pragma once

#include "app/sessionhandover.h"

#include <QLocalServer>
#include <QLockFile>
#include <QTimer>

class QLocalSocket;

namespace inkvale {

// The handover over a local socket (a named pipe on Windows), for systems without a session
// bus. A lock file beside the socket says who holds the name: a named pipe lets any number of
// servers share a name, and a socket file outlives a crashed holder; the lock of a holder
// that ended is taken over.
class LocalSocketHandover : public SessionHandover
{
    Q_OBJECT
public:
    // The name of this user's starts.
    static QString nameForUser();

    explicit LocalSocketHandover(const QString &name = nameForUser(), QObject *parent = nullptr);
    ~LocalSocketHandover() override;

    bool claim() override;
    // Tries for the name every second until the holder has ended.
    void queueForName() override;

protected:
    Outcome handOverPart(const QStringList &paths) override;

private:
    bool listen();
    void serve(QLocalSocket *socket);

    QString m_name;
    QLockFile m_lock;
    QLocalServer m_server;
    QTimer m_retry;
};

} // namespace inkvale
