#include "app/mainwindow.h"
#include "memoryupdatestore.h"
#include "online/settingsupdatestore.h"
#include "online/updatechecker.h"
#include "online/updatecheckthread.h"
#include "support/standinservice.h"
#include "support/testenvironment.h"
#include "support/windowstandins.h"
#include "windowkit/appidentity.h"

#include <QAction>
#include <QElapsedTimer>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>
#include <stdexcept>

using namespace inkvale;
using inkvale::test::MemoryUpdateStore;
using inkvale::test::StandInService;

namespace {

const QString kToday = QStringLiteral("10/12/26");
const QString kUrl = QStringLiteral("https://www.tavrino.example/get/inkvale.exe");

// "Name=value;Name=value" as store values, and back, sorted by name.
QMap<QString, QString> values(const QString &text)
{
    QMap<QString, QString> map;
    for (const QString &pair : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        map.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
    }
    return map;
}

QString text(const QMap<QString, QString> &map)
{
    QStringList pairs;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        pairs << it.key() + QLatin1Char('=') + it.value();
    }
    return pairs.join(QLatin1Char(';'));
}

// The menu item as the main window creates it: checked and disabled.
struct NotificationsItem : QAction
{
    NotificationsItem()
        : QAction(QStringLiteral("Update Notifications"))
    {
        setCheckable(true);
        setChecked(true);
        setEnabled(false);
    }
};

// The program's main window with stand-in dialogs and desktop, checking as `setup` says.
struct OpenWindow
{
    QTemporaryDir folder;
    test::RecordingDialogs dialogs;
    test::RecordingDesktop desktop;
    std::unique_ptr<MainWindow> form;

    explicit OpenWindow(const UpdateCheckSetup &setup)
    {
        MainWindow::Environment environment =
            test::standInEnvironment(folder.path(), dialogs, desktop, false);
        environment.updateCheck = setup;
        form = std::make_unique<MainWindow>(environment);
    }
};

} // namespace

class UpdateCheckTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void schedule_data();
    void schedule();
    void sixRunsInADayThenTheNext();
    void unreadableMachineIdSendsAnEmptyGuid();
    void storeKeepsStringsInTheUsersSettings();

    void timerStartsOneCheckAndTakesItsResults();
    void notificationsOffEnableTheItemUnchecked();
    void itemClicksSwitchTheNextRuns();
    void closingDuringACheckNeitherWaitsNorCrashes();
    void mainWindowAnnouncesANewVersion();
    void mainWindowClosesDuringACheck();

private:
    UpdateCheckSetup setup(std::shared_ptr<MemoryUpdateStore> store,
                           const QString &today = kToday) const;
    void offer(const QString &version);
    void expectCheckGivenUp(const std::shared_ptr<MemoryUpdateStore> &store) const;

    StandInService m_service;
};

void UpdateCheckTest::initTestCase()
{
    QVERIFY2(m_service.isRunning(), "the web stand-in did not start");
}

void UpdateCheckTest::init()
{
    m_service.reset();
}

UpdateCheckSetup UpdateCheckTest::setup(std::shared_ptr<MemoryUpdateStore> store,
                                        const QString &today) const
{
    UpdateCheckSetup setup;
    setup.exchange.host = m_service.host();
    setup.exchange.timeoutMs = 5000;
    setup.exchange.trustedCertificates = m_service.certificate();
    setup.exchange.appTitle = QStringLiteral("TAVRINO - Inkvale");
    setup.exchange.appVersion = QStringLiteral("1.1");
    setup.store = std::move(store);
    setup.today = [today] {
        return today;
    };
    setup.machineGuid = [] {
        return std::string("0f8fad5b-d9cb-469f-a165-70867728950e");
    };
    return setup.withDefaults();
}

void UpdateCheckTest::offer(const QString &version)
{
    m_service.setAnswer(QStringLiteral("check"), {StandInService::checkAnswer(version, kUrl)});
}

// The check whose window has gone ends well before its late answer would come, and keeps
// nothing of it. Its thread co-owns the store: the store's last other owner going means the
// thread has finished and been deleted, so whatever it touched at its end has been touched.
void UpdateCheckTest::expectCheckGivenUp(const std::shared_ptr<MemoryUpdateStore> &store) const
{
    QTRY_COMPARE_WITH_TIMEOUT(store.use_count(), 1L, 5000);
    QCOMPARE(store->values.value(QStringLiteral("HowMany")), QStringLiteral("1"));
    QVERIFY(!store->values.contains(QStringLiteral("CurrentVersion")));
}

void UpdateCheckTest::schedule_data()
{
    QTest::addColumn<QString>("before"); // the store
    QTest::addColumn<QString>("today");
    QTest::addColumn<QString>("offered");     // the answer's version; "refused": no answer at all
    QTest::addColumn<QString>("howmanySent"); // empty: no request
    QTest::addColumn<bool>("announced");
    QTest::addColumn<int>("showUpdate");
    QTest::addColumn<QString>("after");

    const QString same = "LastUpdateCheck=" + kToday + ";InstalledVersion=1.1;";
    QTest::newRow("first run ever")
        << "" << kToday << "1.2"
        << "1" << true << 1
        << "CurrentVersion=1.2;HowMany=1;InstalledVersion=1.1;LastUpdateCheck=" + kToday +
               ";LastUpdateCheckCount=1";
    QTest::newRow("third check of the day announces")
        << same + "LastUpdateCheckCount=2;HowMany=4" << kToday << "1.2"
        << "5" << true << 1
        << "CurrentVersion=1.2;HowMany=5;InstalledVersion=1.1;LastUpdateCheck=" + kToday +
               ";LastUpdateCheckCount=3";
    QTest::newRow("fourth check of the day is quiet")
        << same + "LastUpdateCheckCount=3;HowMany=5" << kToday << "1.2"
        << "6" << false << 1
        << "CurrentVersion=1.2;HowMany=6;InstalledVersion=1.1;LastUpdateCheck=" + kToday +
               ";LastUpdateCheckCount=4";
    QTest::newRow("sixth run sends nothing")
        << same + "LastUpdateCheckCount=5;HowMany=6;CurrentVersion=1.0" << kToday << "1.2"
        << "" << false << 1
        << "CurrentVersion=1.0;HowMany=7;InstalledVersion=1.1;LastUpdateCheck=" + kToday +
               ";LastUpdateCheckCount=5";
    QTest::newRow("next day starts again")
        << "LastUpdateCheck=09/12/26;LastUpdateCheckCount=5;InstalledVersion=1.1;HowMany=7"
        << kToday << "1.2"
        << "8" << true << 1
        << "CurrentVersion=1.2;HowMany=8;InstalledVersion=1.1;LastUpdateCheck=" + kToday +
               ";LastUpdateCheckCount=1";
    QTest::newRow("changed short date format counts as a new day")
        << "LastUpdateCheck=2026-12-10;LastUpdateCheckCount=5;InstalledVersion=1.1;HowMany=2"
        << kToday << "1.2"
        << "3" << true << 1
        << "CurrentVersion=1.2;HowMany=3;InstalledVersion=1.1;LastUpdateCheck=" + kToday +
               ";LastUpdateCheckCount=1";
    QTest::newRow("notifications off: no request")
        << "ShowUpdate=0;InstalledVersion=1.1;HowMany=2" << kToday << "1.2"
        << "" << false << 0 << "HowMany=3;InstalledVersion=1.1;ShowUpdate=0";
    QTest::newRow("ShowUpdate 2: checks, never announces")
        << "ShowUpdate=2" << kToday << "1.2"
        << "1" << false << 2
        << "CurrentVersion=1.2;HowMany=1;InstalledVersion=1.1;LastUpdateCheck=" + kToday +
               ";LastUpdateCheckCount=1;ShowUpdate=2";
    QTest::newRow("ShowUpdate text reads as 1")
        << "ShowUpdate=yes" << kToday << "1.2"
        << "1" << true << 1
        << "CurrentVersion=1.2;HowMany=1;InstalledVersion=1.1;LastUpdateCheck=" + kToday +
               ";LastUpdateCheckCount=1;ShowUpdate=yes";
    QTest::newRow("upgrade restarts HowMany")
        << "InstalledVersion=1.0;HowMany=17" << kToday << "1.2"
        << "1" << true << 1
        << "CurrentVersion=1.2;HowMany=1;InstalledVersion=1.1;LastUpdateCheck=" + kToday +
               ";LastUpdateCheckCount=1";
    QTest::newRow("negative HowMany") << "InstalledVersion=1.1;HowMany=-4" << kToday << "1.2"
                                      << "1" << true << 1
                                      << "CurrentVersion=1.2;HowMany=1;InstalledVersion=1.1;"
                                         "LastUpdateCheck=" +
                                             kToday + ";LastUpdateCheckCount=1";
    QTest::newRow("equal version") << "" << kToday << "1.1"
                                   << "1" << false << 1
                                   << "CurrentVersion=1.1;HowMany=1;InstalledVersion=1.1;"
                                      "LastUpdateCheck=" +
                                          kToday + ";LastUpdateCheckCount=1";
    QTest::newRow("older version is announced too")
        << "" << kToday << "1.0"
        << "1" << true << 1
        << "CurrentVersion=1.0;HowMany=1;InstalledVersion=1.1;LastUpdateCheck=" + kToday +
               ";LastUpdateCheckCount=1";
    QTest::newRow("version with letters") << "" << kToday << "1.2 beta"
                                          << "1" << false << 1
                                          << "CurrentVersion=1.2 beta;HowMany=1;"
                                             "InstalledVersion=1.1;LastUpdateCheck=" +
                                                 kToday + ";LastUpdateCheckCount=1";
    QTest::newRow("version beyond 32 bits") << "" << kToday << "99999.99999"
                                            << "1" << false << 1
                                            << "CurrentVersion=99999.99999;HowMany=1;"
                                               "InstalledVersion=1.1;LastUpdateCheck=" +
                                                   kToday + ";LastUpdateCheckCount=1";
    QTest::newRow("empty version") << "" << kToday << ""
                                   << "1" << false << 1
                                   << "CurrentVersion=;HowMany=1;InstalledVersion=1.1;"
                                      "LastUpdateCheck=" +
                                          kToday + ";LastUpdateCheckCount=1";
    QTest::newRow("no answer: counted, nothing kept")
        << "" << kToday << "refused"
        << "" << false << 1
        << "HowMany=1;InstalledVersion=1.1;LastUpdateCheck=" + kToday + ";LastUpdateCheckCount=1";
}

void UpdateCheckTest::schedule()
{
    QFETCH(QString, before);
    QFETCH(QString, today);
    QFETCH(QString, offered);
    QFETCH(QString, howmanySent);
    if (offered == QStringLiteral("refused")) {
        m_service.refuse({QStringLiteral("https"), QStringLiteral("http")});
    } else {
        offer(offered);
    }
    auto store = std::make_shared<MemoryUpdateStore>();
    store->values = values(before);
    auto results = std::make_shared<CheckResults>();

    UpdateCheckThread(setup(store, today), results).checkNow();

    QVERIFY(results->checkDone.load());
    QTEST(results->newVersionAvailable, "announced");
    QTEST(results->showUpdateSetting, "showUpdate");
    QTEST(text(store->values), "after");
    const auto received = m_service.received();
    QCOMPARE(received.size(), howmanySent.isEmpty() ? 0 : 1);
    if (!howmanySent.isEmpty()) {
        QCOMPARE(received[0].formLines().value(6), QStringLiteral("howmany=") + howmanySent);
    }
    if (results->newVersionAvailable) {
        QCOMPARE(results->serverVersion, offered);
        QCOMPARE(results->downloadUrl, kUrl);
    }
}

void UpdateCheckTest::sixRunsInADayThenTheNext()
{
    offer(QStringLiteral("1.2"));
    auto store = std::make_shared<MemoryUpdateStore>();
    QList<bool> announced;
    for (int run = 1; run <= 6; ++run) {
        auto results = std::make_shared<CheckResults>();
        UpdateCheckThread(setup(store), results).checkNow();
        announced << results->newVersionAvailable;
        QCOMPARE(store->values.value(QStringLiteral("HowMany")), QString::number(run));
    }
    QCOMPARE(announced, QList<bool>({true, true, true, false, false, false}));
    QCOMPARE(m_service.received().size(), 5);

    auto results = std::make_shared<CheckResults>();
    UpdateCheckThread(setup(store, QStringLiteral("11/12/26")), results).checkNow();
    QVERIFY(results->newVersionAvailable);
    QCOMPARE(store->values.value(QStringLiteral("LastUpdateCheckCount")), QStringLiteral("1"));
    QCOMPARE(m_service.received().size(), 6);
}

void UpdateCheckTest::unreadableMachineIdSendsAnEmptyGuid()
{
    offer(QStringLiteral("1.2"));
    auto store = std::make_shared<MemoryUpdateStore>();
    UpdateCheckSetup failing = setup(store);
    failing.machineGuid = []() -> std::string {
        throw std::runtime_error("no registry");
    };
    auto results = std::make_shared<CheckResults>();

    UpdateCheckThread(failing, results).checkNow();

    QCOMPARE(m_service.received().value(0).formLines().value(5), QStringLiteral("guid="));
    // The recorded failure keeps the secure answer from being used.
    QVERIFY(!results->newVersionAvailable);
    QCOMPARE(results->errors.log(), QStringLiteral("Error: GUID generate problem!"));
    QVERIFY(!store->values.contains(QStringLiteral("CurrentVersion")));
}

void UpdateCheckTest::storeKeepsStringsInTheUsersSettings()
{
    SettingsUpdateStore unopened;
    QVERIFY(!unopened.write(QStringLiteral("ShowUpdate"), QStringLiteral("0")));
    QCOMPARE(unopened.read(QStringLiteral("ShowUpdate")), std::nullopt);

    SettingsUpdateStore store;
    QVERIFY(store.open());
    QCOMPARE(store.read(QStringLiteral("HowMany")), std::nullopt);
    QVERIFY(store.write(QStringLiteral("HowMany"), QStringLiteral("12")));
    QVERIFY(store.write(QStringLiteral("LastUpdateCheck"), kToday));

    // Written at once, as strings, in group "Settings" of the program's native settings.
    const QSettings native(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("TAVRINO"),
                           QStringLiteral("Inkvale"));
    QCOMPARE(native.value(QStringLiteral("Settings/HowMany")), QVariant(QStringLiteral("12")));
    SettingsUpdateStore again;
    QVERIFY(again.open());
    QCOMPARE(again.read(QStringLiteral("LastUpdateCheck")), std::optional<QString>(kToday));
}

void UpdateCheckTest::timerStartsOneCheckAndTakesItsResults()
{
    offer(QStringLiteral("1.2"));
    NotificationsItem item;
    UpdateChecker checker(setup(std::make_shared<MemoryUpdateStore>()), &item);
    QSignalSpy announced(&checker, &UpdateChecker::announceUpdate);
    QSignalSpy finished(&checker, &UpdateChecker::checkFinished);
    QVERIFY(checker.checkTimer()->isActive());
    QCOMPARE(checker.checkTimer()->interval(), 1000);

    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);

    QVERIFY(checker.checkerStarted());
    QVERIFY(!checker.checkTimer()->isActive());
    QVERIFY(item.isEnabled());
    QVERIFY(item.isChecked());
    QCOMPARE(announced.size(), 1);
    QCOMPARE(announced[0], QVariantList({QStringLiteral("1.2"), kUrl}));
    // A later tick starts nothing.
    checker.checkTimerFired();
    QCOMPARE(m_service.received().size(), 1);
}

void UpdateCheckTest::notificationsOffEnableTheItemUnchecked()
{
    auto store = std::make_shared<MemoryUpdateStore>();
    store->values.insert(QStringLiteral("ShowUpdate"), QStringLiteral("0"));
    NotificationsItem item;
    UpdateChecker checker(setup(store), &item);
    QSignalSpy announced(&checker, &UpdateChecker::announceUpdate);
    QSignalSpy finished(&checker, &UpdateChecker::checkFinished);

    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);

    QVERIFY(item.isEnabled());
    QVERIFY(!item.isChecked());
    QCOMPARE(announced.size(), 0);
    QCOMPARE(m_service.received().size(), 0);
}

void UpdateCheckTest::itemClicksSwitchTheNextRuns()
{
    offer(QStringLiteral("1.1"));
    auto store = std::make_shared<MemoryUpdateStore>();
    NotificationsItem item;
    UpdateChecker checker(setup(store), &item);
    connect(&item, &QAction::triggered, &checker, &UpdateChecker::setNotificationsEnabled);
    QSignalSpy finished(&checker, &UpdateChecker::checkFinished);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);

    item.trigger();
    QVERIFY(!item.isChecked());
    QCOMPARE(store->values.value(QStringLiteral("ShowUpdate")), QStringLiteral("0"));
    item.trigger();
    QVERIFY(item.isChecked());
    QCOMPARE(store->values.value(QStringLiteral("ShowUpdate")), QStringLiteral("1"));

    // This run's setting stays, and the timer that starts checks stays off: no further check.
    QCOMPARE(checker.results().showUpdateSetting, 1);
    QVERIFY(!checker.checkTimer()->isActive());
    QCOMPARE(m_service.received().size(), 1);
}

void UpdateCheckTest::closingDuringACheckNeitherWaitsNorCrashes()
{
    StandInService::Answer late{StandInService::checkAnswer(QStringLiteral("1.2"), kUrl)};
    late.delayMs = 8000;
    m_service.setAnswer(QStringLiteral("check"), late);
    auto store = std::make_shared<MemoryUpdateStore>();
    NotificationsItem item;
    auto checker = std::make_unique<UpdateChecker>(setup(store), &item);
    checker->checkTimerFired();
    QTRY_COMPARE_WITH_TIMEOUT(m_service.received().size(), 1, 5000);
    // A tick while the answer is awaited leaves the item as it is.
    checker->checkTimerFired();
    QVERIFY(!item.isEnabled());
    QElapsedTimer clock;
    clock.start();

    checker.reset();

    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    expectCheckGivenUp(store);
}

void UpdateCheckTest::mainWindowAnnouncesANewVersion()
{
    offer(QStringLiteral("9.9"));
    OpenWindow window(setup(std::make_shared<MemoryUpdateStore>()));
    MainWindow &form = *window.form;
    QSignalSpy announced(&form, &MainWindow::announceUpdate);
    auto *timer = form.findChild<QTimer *>(QStringLiteral("checkTimer"));
    QVERIFY(timer);
    QVERIFY(timer->isActive());

    QTRY_COMPARE_WITH_TIMEOUT(announced.size(), 1, 10000);

    QCOMPARE(announced[0], QVariantList({QStringLiteral("9.9"), kUrl}));
    QVERIFY(form.ui().updateNotificationsAction->isEnabled());
    const auto received = m_service.received();
    QCOMPARE(received.size(), 1);
    // The window's own name and version, as its version information gives them.
    QCOMPARE(received[0].formLines().mid(1, 2),
             QStringList({QStringLiteral("appname=") + appIdentity().appTitle,
                          QStringLiteral("version=") + appIdentity().appVersion}));
    form.ui().updateNotificationsAction->trigger();
    QCOMPARE(form.ui().updateNotificationsAction->isChecked(), false);
}

void UpdateCheckTest::mainWindowClosesDuringACheck()
{
    StandInService::Answer late{StandInService::checkAnswer(QStringLiteral("1.2"), kUrl)};
    late.delayMs = 8000;
    m_service.setAnswer(QStringLiteral("check"), late);
    auto store = std::make_shared<MemoryUpdateStore>();
    OpenWindow window(setup(store));
    auto &form = window.form;
    QTRY_COMPARE_WITH_TIMEOUT(m_service.received().size(), 1, 5000);
    QElapsedTimer clock;
    clock.start();

    form->close();
    form.reset();

    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    expectCheckGivenUp(store);
}

INKVALE_GUI_TEST_MAIN(UpdateCheckTest)
#include "updatecheck_test.moc"
