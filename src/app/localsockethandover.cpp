#include "app/localsockethandover.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QLocalSocket>

namespace inkvale {
namespace {

// A holder that does not answer in this time is taken for hung; the start opens its own.
constexpr int kHandOverTimeoutMs = 10000;
// Far more than any list of paths; a longer request is not one of ours.
constexpr quint32 kLongestRequest = 64 * 1024 * 1024;
constexpr char kTaken = '1';

QByteArray request(const QStringList &paths)
{
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << paths;
    QByteArray framed;
    QDataStream frame(&framed, QIODevice::WriteOnly);
    frame << quint32(body.size());
    return framed + body;
}

} // namespace

QString LocalSocketHandover::nameForUser()
{
    // Named pipes are shared by every user of the machine, sockets in /tmp as well.
    const QByteArray home = QDir::homePath().toUtf8();
    return QStringLiteral("Inkvale-") +
           QString::fromLatin1(
               QCryptographicHash::hash(home, QCryptographicHash::Sha256).toHex().left(16));
}

LocalSocketHandover::LocalSocketHandover(const QString &name, QObject *parent)
    : SessionHandover(parent)
    , m_name(name)
    , m_lock(QDir::temp().filePath(name + QStringLiteral(".lock")))
{
    // Only the holder's ending frees the lock, however long it has run.
    m_lock.setStaleLockTime(0);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server.nextPendingConnection()) {
            serve(socket);
        }
    });
    m_retry.setInterval(1000);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        if (m_lock.tryLock(0)) {
            m_retry.stop();
            listen();
        }
    });
}

LocalSocketHandover::~LocalSocketHandover()
{
    m_server.close();
}

bool LocalSocketHandover::claim()
{
    if (m_server.isListening()) {
        return true;
    }
    if (m_retry.isActive() || !m_lock.tryLock(0)) {
        return false;
    }
    return listen();
}

bool LocalSocketHandover::listen()
{
    // What is left of a holder that ended without closing its socket.
    QLocalServer::removeServer(m_name);
    if (!m_server.listen(m_name)) {
        m_lock.unlock();
        return false;
    }
    return true;
}

void LocalSocketHandover::queueForName()
{
    if (!m_server.isListening()) {
        m_retry.start();
    }
}

bool LocalSocketHandover::handOver(const QStringList &paths)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kHandOverTimeoutMs)) {
        return false;
    }
    socket.write(request(paths));
    if (!socket.waitForBytesWritten(kHandOverTimeoutMs)) {
        return false;
    }
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(kHandOverTimeoutMs)) {
            return false;
        }
    }
    char answer = 0;
    socket.getChar(&answer);
    return answer == kTaken;
}

void LocalSocketHandover::serve(QLocalSocket *socket)
{
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // A caller that never finishes its request is let go.
    QTimer::singleShot(kHandOverTimeoutMs, socket, &QLocalSocket::abort);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        QByteArray head = socket->peek(sizeof(quint32));
        if (head.size() < qsizetype(sizeof(quint32))) {
            return;
        }
        quint32 size = 0;
        QDataStream(head) >> size;
        if (size > kLongestRequest) {
            socket->abort();
            return;
        }
        if (socket->bytesAvailable() < qint64(sizeof(quint32) + size)) {
            return;
        }
        socket->skip(sizeof(quint32));
        QDataStream fields(socket->read(size));
        fields.setVersion(QDataStream::Qt_6_0);
        QStringList paths;
        fields >> paths;
        if (fields.status() != QDataStream::Ok) {
            socket->abort();
            return;
        }
        socket->putChar(kTaken);
        socket->disconnectFromServer();
        emit picturesArrived(paths);
    });
}

} // namespace inkvale
