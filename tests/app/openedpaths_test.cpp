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
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
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

    // Takes what later starts hand over, as the program's main() does.
    void listenTo(WindowHandover &handover)
    {
        handover.setReceiver(
            [this](const QStringList &paths) { return form->addOpenedPaths(paths); });
        QObject::connect(&form->intake(), &ImageIntake::intakeFinished, &handover,
                         &WindowHandover::intakeFinished);
    }
};

// The built window program, run in `folder` with `arguments` on `busAddress`, until it ends
// (its hand-over is answered by this thread's event loop); false when it did not end.
bool runProgram(const QString &busAddress, const QString &folder, const QStringList &arguments,
                QProcess &program)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(folder);
    program.start(QStringLiteral(INKVALE_BIN_DIR "/inkvale"), arguments);
    const bool ended =
        QTest::qWaitFor([&] { return program.state() == QProcess::NotRunning; }, 30000);
    if (!ended) {
        program.kill();
        program.waitForFinished();
    }
    return ended && program.exitStatus() == QProcess::NormalExit;
}

// A method call to the window's object, as a later start makes it.
QDBusMessage handOverCall(const QStringList &paths)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        WindowHandover::serviceName(), QStringLiteral("/org/tavrino/Inkvale"),
        WindowHandover::serviceName(), QStringLiteral("addPictures"));
    call << paths;
    return call;
}

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

    bool busRunning() { return !m_bus.address().isEmpty() || m_bus.start(m_work.path()); }

private slots:
    void initTestCase()
    {
        for (const QString name :
             {"folder/b.png", "folder/a.jpg", "folder/sub/c.png", "d.png", "--help.png"}) {
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
            << QStringList{"ERROR %1/missing.png\rNo such file or directory\r\r"
                           "%1/gone\rNo such file or directory"};
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
            text.replace(QStringLiteral("%1"), m_work.path());
        }
        Window window;
        window.form->addOpenedPaths(opened);
        QVERIFY(window.settled());
        QCOMPARE(window.rows(), rows);
        QTRY_COMPARE(window.reported(), reported);
    }

    // A second start of the program hands its pictures, named relative to its own folder, to
    // the window holding the name, and ends without a window of its own once the window has
    // handled them: 0 when it added any, 1 when it could add none.
    void laterStartHandsOver_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("reported");
        QTest::newRow("pictures, a folder and a missing one")
            << QStringList{"folder", "d.png", "missing.png"} << 0
            << QStringList{"folder/a.jpg", "folder/b.png", "d.png"}
            << QStringList{"ERROR %1/missing.png\r\rNo such file or directory"};
        QTest::newRow("only a missing one")
            << QStringList{"/missing/path"} << 1 << QStringList{}
            << QStringList{"ERROR /missing/path\r\rNo such file or directory"};
        QTest::newRow("only what a drop ignores")
            << QStringList{"folder/notes.txt", "folder/sub/nothing-here"} << 1 << QStringList{}
            << QStringList{"ERROR %1/folder/sub/nothing-here\r\rNo such file or directory"};
        // After "--" a name like an option is a file.
        QTest::newRow("a file named like an option")
            << QStringList{"--", "--help.png"} << 0 << QStringList{"--help.png"} << QStringList{};
    }

    void laterStartHandsOver()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, reported);
        for (QString &name : rows) {
            name = path(name);
        }
        for (QString &text : reported) {
            text.replace(QStringLiteral("%1"), m_work.path());
        }
        if (!busRunning()) {
            QSKIP("dbus-daemon is not installed (Debian package dbus-daemon)");
        }
        QDBusConnection bus = QDBusConnection::connectToBus(m_bus.address(), "first");
        auto cleanUp = qScopeGuard([] {
            QDBusConnection::disconnectFromBus("other");
            QDBusConnection::disconnectFromBus("first");
        });
        Window window;
        WindowHandover handover(bus);
        QVERIFY(handover.claim());
        window.listenTo(handover);

        // Another holder cannot take the name while this one has it.
        QDBusConnection other = QDBusConnection::connectToBus(m_bus.address(), "other");
        QVERIFY(!WindowHandover(other).claim());

        QProcess second;
        QVERIFY2(runProgram(m_bus.address(), m_work.path(), arguments, second),
                 "the second start opened a window of its own");
        QCOMPARE(second.exitCode(), exitCode);

        QVERIFY(window.settled());
        QCOMPARE(window.rows(), rows);
        QTRY_COMPARE(window.reported(), reported);
    }

    // What any process of the session may send is bounded: too many paths, too long a path or
    // a relative one is refused whole, at once, and nothing reaches the window.
    void callsBeyondTheLimitsAreRefused_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("startRefuses"); // else it hands them over in parts
        QStringList many;
        for (int i = 0; i <= WindowHandover::kMaxPaths; ++i) {
            many.append(QStringLiteral("/p/%1.png").arg(i));
        }
        QTest::newRow("too many") << many << "More than 10000 paths in one call." << false;
        QTest::newRow("a megabyte path") << QStringList{QLatin1Char('/') + QString(1 << 20, u'x')}
                                         << "A path longer than 4096 bytes." << true;
        QTest::newRow("relative") << QStringList{"/p/a.png", "d.png"}
                                  << "Not an absolute path: \"d.png\"." << true;
    }

    void callsBeyondTheLimitsAreRefused()
    {
        QFETCH(QStringList, paths);
        QFETCH(QString, message);
        QFETCH(bool, startRefuses);
        if (!busRunning()) {
            QSKIP("dbus-daemon is not installed (Debian package dbus-daemon)");
        }
        QDBusConnection bus = QDBusConnection::connectToBus(m_bus.address(), "holder");
        QDBusConnection caller = QDBusConnection::connectToBus(m_bus.address(), "caller");
        auto cleanUp = qScopeGuard([] {
            QDBusConnection::disconnectFromBus("holder");
            QDBusConnection::disconnectFromBus("caller");
        });
        WindowHandover handover(bus);
        QVERIFY(handover.claim());
        int received = 0;
        handover.setReceiver([&received](const QStringList &) {
            ++received;
            return quint64(1);
        });
        QCOMPARE(WindowHandover::refusal(paths), message);

        QDBusPendingCall pending = caller.asyncCall(handOverCall(paths));
        QTRY_VERIFY(pending.isFinished());

        QVERIFY(pending.isError());
        QCOMPARE(pending.error().name(), QStringLiteral("org.tavrino.Inkvale.Error.Refused"));
        QCOMPARE(pending.error().message(), message);
        QCOMPARE(received, 0);
        // A start refuses the same before it calls.
        if (startRefuses) {
            const WindowHandover::Outcome outcome = WindowHandover(caller).handOver(paths);
            QCOMPARE(outcome.status, WindowHandover::Outcome::Status::Failed);
            QCOMPARE(outcome.message, message);
            QCOMPARE(received, 0);
        }
    }

    // The window program's usual options, answered without a window.
    void usualOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // a pattern for what it prints
        QTest::newRow("version") << QStringList{"--version"} << 0 << "^inkvale 1\\.1$";
        QTest::newRow("-v") << QStringList{"-v"} << 0 << "^inkvale 1\\.1$";
        QTest::newRow("help") << QStringList{"--help"} << 0 << "^Usage: .*--version.*FILE";
        QTest::newRow("-h") << QStringList{"-h", "d.png"} << 0 << "^Usage: ";
        QTest::newRow("unknown option")
            << QStringList{"--bogus"} << 2 << "^inkvale: Unknown option 'bogus'";
    }

    void usualOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QProcess program;
        // No bus: a start that opened a window would never end.
        QVERIFY(runProgram(QStringLiteral("unix:path=%1").arg(path("no-bus")), m_work.path(),
                           arguments, program));
        QCOMPARE(program.exitCode(), exitCode);
        const QString printed =
            QString::fromUtf8(program.readAllStandardOutput() + program.readAllStandardError());
        QVERIFY2(QRegularExpression(output, QRegularExpression::DotMatchesEverythingOption |
                                                QRegularExpression::MultilineOption)
                     .match(printed)
                     .hasMatch(),
                 qPrintable(printed));
    }

    // A start that keeps its own window ends with 1 when none of its pictures was added.
    void ownWindowExitStatus_data()
    {
        QTest::addColumn<QString>("opened");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("a picture") << "d.png" << 0;
        QTest::newRow("an empty folder") << "empty" << 1;
    }

    void ownWindowExitStatus()
    {
        QFETCH(QString, opened);
        QFETCH(int, exitCode);
        QVERIFY(QDir().mkpath(path(QStringLiteral("empty"))));
        // No update check: nothing leaves the machine.
        QVERIFY(QDir().mkpath(path(QStringLiteral("config/TAVRINO"))));
        QVERIFY(test::writeFile(path(QStringLiteral("config/TAVRINO/Inkvale.conf")),
                                "[Settings]\nShowUpdate=0\n"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                           QStringLiteral("unix:path=%1").arg(path("no-bus")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(m_work.path());
        program.start(QStringLiteral(INKVALE_BIN_DIR "/inkvale"), {opened});
        QVERIFY(program.waitForStarted());
        // Time for the intake, then the session ends.
        QTest::qWait(3000);
        program.terminate();
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), exitCode);
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
        QList<QStringList> arrived;
        beside.setReceiver([&arrived](const QStringList &paths) {
            arrived.append(paths);
            return quint64(7);
        });

        old.reset();
        QTRY_COMPARE(laterBus.interface()->serviceOwner(WindowHandover::serviceName()).value(),
                     newBus.baseService());
        // As a later start's handOver() would call it; not blocking, since this thread's
        // event loop answers.
        QDBusPendingCall pending = laterBus.asyncCall(handOverCall({path("d.png")}));
        QTRY_VERIFY(pending.isFinished());
        QCOMPARE(arrived, QList<QStringList>{QStringList{path("d.png")}});
        QCOMPARE(pending.reply().arguments().value(0).toULongLong(), quint64(7));

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
        QCOMPARE(handover.handOver({path("d.png")}).status,
                 WindowHandover::Outcome::Status::NoWindow);
        QDBusConnection::disconnectFromBus("none");
    }
};

INKVALE_GUI_TEST_MAIN(OpenedPathsTest)
#include "openedpaths_test.moc"
