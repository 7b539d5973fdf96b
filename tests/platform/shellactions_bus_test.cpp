// The system launcher's requests on a private session bus: what a file manager receives, and
// silence when none is there.
#include "platform/shellactions.h"
#include "support/privatesessionbus.h"
#include "support/testenvironment.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

using namespace inkvale::platform;

namespace {

// Sends on a worker thread, as the window does, while this thread serves the fake.
bool sendAway(const ShellRequest &request)
{
    QFutureWatcher<bool> watcher;
    watcher.setFuture(QtConcurrent::run([request] { return systemShellLauncher().send(request); }));
    [&] {
        QVERIFY(QTest::qWaitFor([&] { return watcher.isFinished(); }, 30000));
    }();
    return watcher.isFinished() && watcher.result();
}

BusCall fileManagerCall(const std::string &method, const std::string &uri)
{
    return {"org.freedesktop.FileManager1",
            "/org/freedesktop/FileManager1",
            "org.freedesktop.FileManager1",
            method,
            {uri},
            ""};
}

} // namespace

// Stands in for the file manager and notes what it was asked.
class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList calls;

public slots:
    void ShowItems(const QStringList &uris, const QString &startupId)
    {
        calls.append(QStringLiteral("ShowItems ") + uris.join(u'|') + u' ' + startupId);
    }
    void ShowItemProperties(const QStringList &uris, const QString &startupId)
    {
        calls.append(QStringLiteral("ShowItemProperties ") + uris.join(u'|') + u' ' + startupId);
    }
};

class ShellActionsBusTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void nobodyAnswers();
    void theFileManagerGetsTheExactCall();

private:
    inkvale::test::PrivateSessionBus m_bus;
    QString m_address;
};

void ShellActionsBusTest::initTestCase()
{
    if (!m_bus.start(QDir::tempPath())) {
        QSKIP("dbus-daemon is not installed (Debian package dbus-daemon)");
    }
    m_address = m_bus.address();
    // Before the first use of the session bus in this process.
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
    QVERIFY(QDBusConnection::sessionBus().isConnected());
}

void ShellActionsBusTest::nobodyAnswers()
{
    QVERIFY(!sendAway(fileManagerCall("ShowItems", "file:///pics/a.png")));
    QVERIFY(!sendAway(fileManagerCall("ShowItemProperties", "file:///pics/a.png")));
}

void ShellActionsBusTest::theFileManagerGetsTheExactCall()
{
    QDBusConnection service =
        QDBusConnection::connectToBus(m_address, QStringLiteral("fake-file-manager"));
    FakeFileManager fake;
    QVERIFY(service.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &fake,
                                   QDBusConnection::ExportAllSlots));
    QVERIFY(service.registerService(QStringLiteral("org.freedesktop.FileManager1")));

    // What the window sends for a file whose name holds spaces and quotes.
    QVERIFY(sendAway(fileManagerCall("ShowItems", "file:///pics/a%20%22b%22%20c.png")));
    QVERIFY(sendAway(fileManagerCall("ShowItemProperties", "file:///pics/a%20%22b%22%20c.png")));
    QCOMPARE(fake.calls, (QStringList{
                             QStringLiteral("ShowItems file:///pics/a%20%22b%22%20c.png "),
                             QStringLiteral("ShowItemProperties file:///pics/a%20%22b%22%20c.png "),
                         }));

    service.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-file-manager"));
}

INKVALE_TEST_MAIN(ShellActionsBusTest)
#include "shellactions_bus_test.moc"
