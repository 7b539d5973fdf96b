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
#include <QSignalSpy>
#include <QtConcurrent>

using namespace inkvale;

namespace {

// A later start's handover, on a thread of its own: it waits for the holder's answer, which
// this thread's event loop gives.
QFuture<bool> handOverFromLaterStart(const QString &name, const QStringList &paths)
{
    return QtConcurrent::run([name, paths] { return LocalSocketHandover(name).handOver(paths); });
}

bool finished(const QFuture<bool> &future)
{
    return QTest::qWaitFor([&] { return future.isFinished(); }, 20000);
}

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
        QSignalSpy arrived(&holder, &SessionHandover::picturesArrived);

        const QStringList paths{QStringLiteral("/pictures/été, 2019.jpg"),
                                QStringLiteral("/pictures/a $b.png")};
        const QFuture<bool> handover = handOverFromLaterStart(name, paths);
        QVERIFY(finished(handover));
        QVERIFY(handover.result());
        QTRY_COMPARE(arrived.size(), 1);
        QCOMPARE(arrived.at(0).at(0).toStringList(), paths);
    }

    void withoutHolderNothingIsHandedOver()
    {
        const QFuture<bool> handover = handOverFromLaterStart(freshName(), {"/a.png"});
        QVERIFY(finished(handover));
        QVERIFY(!handover.result());
    }

    void aStartBesideTheHolderTakesTheNameWhenItEnds()
    {
        const QString name = freshName();
        auto holder = std::make_unique<LocalSocketHandover>(name);
        QVERIFY(holder->claim());
        LocalSocketHandover beside(name);
        QVERIFY(!beside.claim());
        beside.queueForName();
        QSignalSpy arrived(&beside, &SessionHandover::picturesArrived);

        holder.reset();
        QTRY_VERIFY_WITH_TIMEOUT(beside.claim(), 10000);
        const QFuture<bool> handover = handOverFromLaterStart(name, {"/a.png"});
        QVERIFY(finished(handover));
        QVERIFY(handover.result());
        QTRY_COMPARE(arrived.size(), 1);
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
        QSignalSpy arrived(&holder, &SessionHandover::picturesArrived);
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

        const QFuture<bool> handover = handOverFromLaterStart(name, {"/a.png"});
        QVERIFY(finished(handover));
        QVERIFY(handover.result());
        QTRY_COMPARE(arrived.size(), 1);
    }
};

INKVALE_TEST_MAIN(LocalSocketHandoverTest)
#include "localsockethandover_test.moc"
