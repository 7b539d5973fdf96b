// Pictures named when the window program starts: added as if dropped, and a later start hands
// its pictures to the window already open, over a private session bus.
#include "app/mainwindow.h"
#include "app/windowhandover.h"
#include "imagelist/imageintake.h"
#include "imagelist/imagelistmodel.h"
#include "support/privatesessionbus.h"
#include "support/testenvironment.h"
#include "support/windowstandins.h"

#include <memory>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace inkvale;
using test::RecordingDesktop;
using test::RecordingDialogs;

namespace {

// A window of the built program with stand-ins for its dialogs, in a folder of its own.
struct Window
{
    QTemporaryDir folder;
    RecordingDialogs dialogs;
    RecordingDesktop desktop;
    std::unique_ptr<MainWindow> form;

    Window()
    {
        test::linkBuiltTool(folder.path());
        form = std::make_unique<MainWindow>(
            test::standInEnvironment(folder.path(), dialogs, desktop, false));
    }

    QStringList rows() const
    {
        QStringList paths;
        for (int row = 0; row < form->listModel().rowCount(); ++row) {
            paths.append(form->listModel().path(row));
        }
        return paths;
    }

    QStringList reported() const
    {
        QStringList texts;
        for (const RecordingDialogs::Message &message : dialogs.messages) {
            texts.append(message.caption + QLatin1Char(' ') + message.text);
        }
        return texts;
    }

    bool settled() const
    {
        return QTest::qWaitFor([&] { return !form->intake().isBusy(); }, 20000);
    }
};

} // namespace

class OpenedPathsTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_work;
    test::PrivateSessionBus m_bus;

    // The pictures of every case: a folder with two pictures, a text file beside them and a
    // picture in a sub-folder, and one picture on its own.
    QString path(const QString &relative) const { return m_work.filePath(relative); }

private slots:
    void initTestCase()
    {
        for (const QString name : {"folder/b.png", "folder/a.jpg", "folder/sub/c.png", "d.png"}) {
            QDir().mkpath(QFileInfo(path(name)).path());
            QVERIFY(test::writePicture(path(name), 8, 8));
        }
        QFile notes(path(QStringLiteral("folder/notes.txt")));
        QVERIFY(notes.open(QIODevice::WriteOnly));
    }

    void addedAsIfDropped_data()
    {
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("reported");
        QTest::newRow("a picture") << QStringList{"d.png"} << QStringList{"d.png"} << QStringList{};
        QTest::newRow("a folder gives its pictures by name")
            << QStringList{"folder"} << QStringList{"folder/a.jpg", "folder/b.png"}
            << QStringList{};
        QTest::newRow("in the order given")
            << QStringList{"d.png", "folder"}
            << QStringList{"d.png", "folder/a.jpg", "folder/b.png"} << QStringList{};
        QTest::newRow("not a picture: ignored as in a drop")
            << QStringList{"folder/notes.txt", "d.png"} << QStringList{"d.png"} << QStringList{};
        QTest::newRow("missing: reported like a picture that cannot be read")
            << QStringList{"missing.png", "gone", "d.png"} << QStringList{"d.png"}
            << QStringList{"ERROR %1/missing.png\r\rNo such file or directory",
                           "ERROR %1/gone\r\rNo such file or directory"};
    }

    void addedAsIfDropped()
    {
        QFETCH(QStringList, opened);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, reported);
        for (QString &name : opened) {
            name = path(name);
        }
        for (QString &name : rows) {
            name = path(name);
        }
        for (QString &text : reported) {
            text = text.arg(m_work.path());
        }
        Window window;
        window.form->addOpenedPaths(opened);
        QVERIFY(window.settled());
        QCOMPARE(window.rows(), rows);
        QCOMPARE(window.reported(), reported);
    }

    // A second start of the program hands its pictures, named relative to its own folder, to
    // the window holding the name, and ends without a window of its own.
    void laterStartHandsOver()
    {
        if (!m_bus.start(m_work.path())) {
            QSKIP("dbus-daemon is not installed (Debian package dbus-daemon)");
        }
        QDBusConnection bus = QDBusConnection::connectToBus(m_bus.address(), "first");
        Window window;
        WindowHandover handover(bus);
        QVERIFY(handover.claim());
        connect(&handover, &WindowHandover::picturesArrived, window.form.get(),
                &MainWindow::addOpenedPaths);

        // Another holder cannot take the name while this one has it.
        QDBusConnection other = QDBusConnection::connectToBus(m_bus.address(), "other");
        QVERIFY(!WindowHandover(other).claim());

        QProcess second;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus.address());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        second.setProcessEnvironment(environment);
        second.setWorkingDirectory(m_work.path());
        second.start(QStringLiteral(INKVALE_BIN_DIR "/inkvale"),
                     {"folder", "d.png", "missing.png"});
        // The call is answered by this thread's event loop.
        const bool ended =
            QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 30000);
        if (!ended) {
            second.kill();
            second.waitForFinished();
        }
        QVERIFY2(ended, "the second start opened a window of its own");
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);

        QVERIFY(window.settled());
        QCOMPARE(window.rows(),
                 (QStringList{path("folder/a.jpg"), path("folder/b.png"), path("d.png")}));
        QCOMPARE(
            window.reported(),
            QStringList{
                QStringLiteral("ERROR %1\r\rNo such file or directory").arg(path("missing.png"))});

        QDBusConnection::disconnectFromBus("other");
        QDBusConnection::disconnectFromBus("first");
    }

    // A window opened beside the holder (a restart while the old window still ends) takes
    // the name when the holder goes, so later starts still reach a window.
    void aWindowBesideTheHolderTakesTheNameWhenItEnds()
    {
        // A bus of its own: the name must start out free.
        test::PrivateSessionBus sessionBus;
        QVERIFY(QDir().mkpath(path(QStringLiteral("second-bus"))));
        if (!sessionBus.start(path(QStringLiteral("second-bus")))) {
            QSKIP("dbus-daemon is not installed (Debian package dbus-daemon)");
        }
        QDBusConnection oldBus = QDBusConnection::connectToBus(sessionBus.address(), "old");
        QDBusConnection newBus = QDBusConnection::connectToBus(sessionBus.address(), "new");
        QDBusConnection laterBus = QDBusConnection::connectToBus(sessionBus.address(), "later");
        auto old = std::make_unique<WindowHandover>(oldBus);
        QVERIFY(old->claim());
        WindowHandover beside(newBus);
        QVERIFY(!beside.claim());
        beside.queueForName();
        QSignalSpy arrived(&beside, &WindowHandover::picturesArrived);

        old.reset();
        QTRY_COMPARE(laterBus.interface()->serviceOwner(WindowHandover::serviceName()).value(),
                     newBus.baseService());
        // As a later start's handOver() would call it; not blocking, since this thread's
        // event loop answers.
        QDBusMessage call = QDBusMessage::createMethodCall(
            WindowHandover::serviceName(), QStringLiteral("/org/tavrino/Inkvale"),
            WindowHandover::serviceName(), QStringLiteral("addPictures"));
        call << QStringList{path("d.png")};
        laterBus.asyncCall(call);
        QTRY_COMPARE(arrived.size(), 1);
        QCOMPARE(arrived.at(0).at(0).toStringList(), QStringList{path("d.png")});

        for (const char *name : {"old", "new", "later"}) {
            QDBusConnection::disconnectFromBus(QString::fromLatin1(name));
        }
    }

    void withoutBusEveryStartKeepsItsWindow()
    {
        QDBusConnection none = QDBusConnection::connectToBus(
            QStringLiteral("unix:path=%1").arg(path("no-bus")), "none");
        WindowHandover handover(none);
        QVERIFY(!handover.claim());
        QVERIFY(!handover.handOver({path("d.png")}));
        QDBusConnection::disconnectFromBus("none");
    }
};

INKVALE_GUI_TEST_MAIN(OpenedPathsTest)
#include "openedpaths_test.moc"
