// The handover over a local socket, which Windows uses in place of the session bus: a later
// start reaches the holder, a start beside it takes the name when the holder ends, and what a
// crashed holder leaves behind does not keep the name.
#include "app/localsockethandover.h"
#include "support/testenvironment.h"

#include <memory>
#include <QDir>
#include <QFile>
#include <QFuture>
#include <QLocalSocket>
#include <QtConcurrent>

using namespace inkvale;

namespace {

using Outcome = SessionHandover::Outcome;

// A later start's handover, on a thread of its own: it waits for the holder's answers, which
// this thread's event loop gives.
QFuture<Outcome> handOverFromLaterStart(const QString &name, const QStringList &paths)
{
    return QtConcurrent::run([name, paths] { return LocalSocketHandover(name).handOver(paths); });
}

template<typename T>
bool finished(const QFuture<T> &future)
{
    return QTest::qWaitFor([&] { return future.isFinished(); }, 20000);
}

// The holder's window: records what arrives, each call an intake numbered from 1.
struct Arrivals
{
    QList<QStringList> calls;

    void receiveOn(SessionHandover &holder)
    {
        holder.setReceiver([this](const QStringList &paths) {
            calls.append(paths);
            return quint64(calls.size());
        });
    }
};

} // namespace

class LocalSocketHandoverTest : public QObject
{
    Q_OBJECT

private:
    int m_names = 0;
    // A name of this case's own, so that no case meets another's holder.
    QString freshName() { return QStringLiteral("inkvale-test-%1").arg(++m_names); }

private slots:
    void aLaterStartHandsItsPicturesToTheHolder()
    {
        const QString name = freshName();
        LocalSocketHandover holder(name);
        QVERIFY(holder.claim());
        QVERIFY(holder.claim());
        QVERIFY(!LocalSocketHandover(name).claim());
        Arrivals arrived;
        arrived.receiveOn(holder);

        const QStringList paths{QStringLiteral("/pictures/été, 2019.jpg"),
                                QStringLiteral("/pictures/a $b.png")};
        const QFuture<Outcome> handover = handOverFromLaterStart(name, paths);
        QTRY_COMPARE(arrived.calls.size(), 1);
        QCOMPARE(arrived.calls.at(0), paths);
        // The later start waits until the window has handled them all.
        QTest::qWait(300);
        QVERIFY(!handover.isFinished());
        holder.intakeFinished(1, 1);
        QVERIFY(finished(handover));
        QCOMPARE(handover.result().status, Outcome::Status::Handled);
        QCOMPARE(handover.result().added, 1);
    }

    // A holder still starting refuses, and one that ends before its window has handled the
    // pictures leaves the later start with a failure, not with a window of its own.
    void aHolderThatCannotTakeThePicturesSaysSo()
    {
        const QString name = freshName();
        auto holder = std::make_unique<LocalSocketHandover>(name);
        QVERIFY(holder->claim());
        QFuture<Outcome> handover = handOverFromLaterStart(name, {"/a.png"});
        QVERIFY(finished(handover));
        QCOMPARE(handover.result().status, Outcome::Status::Failed);
        QCOMPARE(handover.result().message, QStringLiteral("The window is not ready."));

        Arrivals arrived;
        arrived.receiveOn(*holder);
        handover = handOverFromLaterStart(name, {"/a.png"});
        QTRY_COMPARE(arrived.calls.size(), 1);
        holder.reset();
        QVERIFY(finished(handover));
        QCOMPARE(handover.result().status, Outcome::Status::Failed);
    }

    void withoutHolderNothingIsHandedOver()
    {
        const QFuture<Outcome> handover = handOverFromLaterStart(freshName(), {"/a.png"});
        QVERIFY(finished(handover));
        QCOMPARE(handover.result().status, Outcome::Status::NoWindow);
    }

    void aStartBesideTheHolderTakesTheNameWhenItEnds()
    {
        const QString name = freshName();
        auto holder = std::make_unique<LocalSocketHandover>(name);
        QVERIFY(holder->claim());
        LocalSocketHandover beside(name);
        QVERIFY(!beside.claim());
        beside.queueForName();
        Arrivals arrived;
        arrived.receiveOn(beside);

        holder.reset();
        QTRY_VERIFY_WITH_TIMEOUT(beside.claim(), 10000);
        const QFuture<Outcome> handover = handOverFromLaterStart(name, {"/a.png"});
        QTRY_COMPARE(arrived.calls.size(), 1);
        beside.intakeFinished(1, 0);
        QVERIFY(finished(handover));
        QCOMPARE(handover.result().status, Outcome::Status::Handled);
        QCOMPARE(handover.result().added, 0);
    }

    // A holder that crashed leaves its lock file, and on Linux its socket file.
    void aCrashedHolderDoesNotKeepTheName()
    {
        const QString name = freshName();
        // A process number no system hands out.
        QVERIFY(test::writeFile(QDir::temp().filePath(name + QStringLiteral(".lock")),
                                "999999999\ninkvale\n\n"));
        LocalSocketHandover holder(name);
        QVERIFY(holder.claim());
        QVERIFY(!LocalSocketHandover(name).claim());
    }

    // Another program's bytes on the socket: no pictures, and the holder still serves.
    void aStrangeRequestIsDropped()
    {
        const QString name = freshName();
        LocalSocketHandover holder(name);
        QVERIFY(holder.claim());
        Arrivals arrived;
        arrived.receiveOn(holder);
        const QFuture<bool> strange = QtConcurrent::run([name] {
            QLocalSocket socket;
            socket.connectToServer(name);
            if (!socket.waitForConnected(5000)) {
                return false;
            }
            socket.write(QByteArray("\xff\xff\xff\xffGET / HTTP/1.0\r\n\r\n"));
            socket.waitForBytesWritten(5000);
            // The holder hangs up without an answer.
            return !socket.waitForReadyRead(5000) || socket.bytesAvailable() == 0;
        });
        QVERIFY(finished(strange));
        QVERIFY(strange.result());

        const QFuture<Outcome> handover = handOverFromLaterStart(name, {"/a.png"});
        QTRY_COMPARE(arrived.calls.size(), 1);
        holder.intakeFinished(1, 1);
        QVERIFY(finished(handover));
        QCOMPARE(handover.result().status, Outcome::Status::Handled);
    }
};

INKVALE_TEST_MAIN(LocalSocketHandoverTest)
#include "localsockethandover_test.moc"
