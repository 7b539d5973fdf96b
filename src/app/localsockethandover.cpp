#include "app/localsockethandover.h"

#include <optional>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QLocalSocket>
#include <QThread>

namespace inkvale {
namespace {

// A holder that does not answer in this time is taken for hung; the start opens its own.
constexpr int kHandOverTimeoutMs = 10000;
// Far more than any list of paths; a longer request is not one of ours.
constexpr quint32 kLongestRequest = 64 * 1024 * 1024;
// How often a start asks whether the window has handled its pictures.
constexpr unsigned long kOutcomePollMs = 100;
// What a later start asks: to add paths, answered with the intake's number or the reason for
// a refusal; then how many rows that intake added, -1 while it runs, kUnknownIntake for one
// the holder does not know.
enum class Request : quint8 { AddPictures = 1, IntakeOutcome = 2 };
constexpr qint32 kUnknownIntake = -2;

QDataStream &setUp(QDataStream &stream)
{
    stream.setVersion(QDataStream::Qt_6_0);
    return stream;
}

template<typename... Fields>
QByteArray request(Request kind, const Fields &...fields)
{
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    setUp(out) << quint8(kind);
    (out << ... << fields);
    QByteArray framed;
    QDataStream frame(&framed, QIODevice::WriteOnly);
    frame << quint32(body.size());
    return framed + body;
}

// Sends `framedRequest` and reads the whole answer (the holder hangs up after it); nothing
// when no holder answered in time.
std::optional<QByteArray> ask(const QString &name, const QByteArray &framedRequest)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kHandOverTimeoutMs)) {
        return std::nullopt;
    }
    socket.write(framedRequest);
    if (!socket.waitForBytesWritten(kHandOverTimeoutMs)) {
        return std::nullopt;
    }
    QByteArray answer;
    while (socket.state() == QLocalSocket::ConnectedState) {
        if (!socket.waitForReadyRead(kHandOverTimeoutMs) &&
            socket.state() == QLocalSocket::ConnectedState) {
            return std::nullopt; // hung
        }
        answer += socket.readAll();
    }
    answer += socket.readAll();
    return answer;
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

SessionHandover::Outcome LocalSocketHandover::handOverPart(const QStringList &paths)
{
    const std::optional<QByteArray> taken = ask(m_name, request(Request::AddPictures, paths));
    if (!taken) {
        return {};
    }
    QDataStream takenFields(*taken);
    quint64 intake = 0;
    QString refused;
    setUp(takenFields) >> intake >> refused;
    if (takenFields.status() != QDataStream::Ok) {
        return {};
    }
    if (!refused.isEmpty()) {
        return {Outcome::Status::Failed, 0, refused};
    }
    while (true) {
        const std::optional<QByteArray> answer =
            ask(m_name, request(Request::IntakeOutcome, intake));
        qint32 added = kUnknownIntake;
        if (answer) {
            QDataStream fields(*answer);
            setUp(fields) >> added;
            if (fields.status() != QDataStream::Ok) {
                added = kUnknownIntake;
            }
        }
        if (added == kUnknownIntake) {
            return {Outcome::Status::Failed, 0,
                    QStringLiteral("The window closed before it had added the pictures.")};
        }
        if (added >= 0) {
            return {Outcome::Status::Handled, added, {}};
        }
        QThread::msleep(kOutcomePollMs);
    }
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
        quint8 kind = 0;
        setUp(fields) >> kind;
        QByteArray answer;
        QDataStream out(&answer, QIODevice::WriteOnly);
        setUp(out);
        if (kind == quint8(Request::AddPictures)) {
            QStringList paths;
            fields >> paths;
            if (fields.status() == QDataStream::Ok) {
                const Taken taken = take(paths);
                out << quint64(taken.intake) << taken.refused;
            }
        } else if (kind == quint8(Request::IntakeOutcome)) {
            quint64 intake = 0;
            fields >> intake;
            if (fields.status() == QDataStream::Ok) {
                out << qint32(outcome(intake).value_or(kUnknownIntake));
            }
        }
        if (answer.isEmpty()) {
            socket->abort();
            return;
        }
        socket->write(answer);
        socket->disconnectFromServer();
    });
}

} // namespace inkvale
