#include "online/checkerrors.h"
#include "online/checkexchange.h"
#include "online/localecode.h"
#include "online/tagvalue.h"
#include "support/standinservice.h"
#include "support/testenvironment.h"
#include "windowkit/makerweb.h"

#include <QElapsedTimer>
#include <stdexcept>

using namespace inkvale;
using inkvale::test::StandInService;

class CheckExchangeTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void readTagValueCases_data();
    void readTagValueCases();
    void readCheckAnswerCases_data();
    void readCheckAnswerCases();
    void failureRecord();
    void localeCodeCases_data();
    void localeCodeCases();

    void sendsTheSevenLinesInOrderOverHttps();
    void plainAnswerAfterARefusedSecureAttemptClearsTheRecord();
    void bothAttemptsRefused();
    void plainAnswerNamingAForeignDownloadIsRefused();
    void secureErrorPageIsAnAnswerWithoutPlainAttempt();
    void timeOutsAreBounded();
    void localeFailureLeavesItsLineOut();

private:
    CheckExchangeSetup setup() const;

    StandInService m_service;
};

void CheckExchangeTest::initTestCase()
{
    QVERIFY2(m_service.isRunning(), "the web stand-in did not start");
}

void CheckExchangeTest::init()
{
    m_service.reset();
}

CheckExchangeSetup CheckExchangeTest::setup() const
{
    CheckExchangeSetup setup;
    setup.host = m_service.host();
    setup.timeoutMs = 5000;
    setup.trustedCertificates = m_service.certificate();
    setup.appTitle = QStringLiteral("TAVRINO - Inkvale");
    setup.appVersion = QStringLiteral("1.1");
    setup.osDescription = QStringLiteral("Testing OS (Version 1.0, Build 2, 64-bit Edition)");
    setup.localeCode = [] {
        return QStringLiteral("de-DE");
    };
    return setup;
}

void CheckExchangeTest::readTagValueCases_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");

    QTest::newRow("version") << "<version>1.2</version>"
                             << "version"
                             << "1.2";
    QTest::newRow("name in capitals is lowered") << "<version>1.2</version>"
                                                 << "VERSION"
                                                 << "1.2";
    QTest::newRow("leading blank") << " <version>1.2</version>"
                                   << "version"
                                   << "";
    QTest::newRow("trailing blank") << "<version>1.2</version> "
                                    << "version"
                                    << "";
    QTest::newRow("tags in capitals") << "<VERSION>1.2</VERSION>"
                                      << "version"
                                      << "";
    QTest::newRow("no closing tag") << "<version>1.2"
                                    << "version"
                                    << "";
    QTest::newRow("other element") << "<url>1.2</url>"
                                   << "version"
                                   << "";
    QTest::newRow("empty element") << "<url></url>"
                                   << "url"
                                   << "";
    QTest::newRow("blanks inside are kept") << "<url> a b </url>"
                                            << "url"
                                            << " a b ";
    QTest::newRow("empty line") << ""
                                << "url"
                                << "";
    QTest::newRow("empty name") << "<>x</>"
                                << ""
                                << "";
    QTest::newRow("tags overlap") << "<a>/a>"
                                  << "a"
                                  << "";
}

void CheckExchangeTest::readTagValueCases()
{
    QFETCH(QString, line);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QCOMPARE(readTagValue(line, name), value);
}

void CheckExchangeTest::readCheckAnswerCases_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("log");

    const QString url = QStringLiteral("https://") + makerWebHost() + QStringLiteral("/get");
    const QString invalid = QStringLiteral("INVALIDSERVERRESPONSE");
    QTest::newRow("LF") << "<version>1.2</version>\n<url>" + url + "</url>\n\n<result>1</result>\n"
                        << "1.2" << url << "";
    QTest::newRow("CR") << "<version>1.2</version>\r<url>" + url + "</url>\r\r<result>0</result>"
                        << "1.2" << url << "";
    QTest::newRow("CR LF") << "<version>1.2</version>\r\n<url>" + url +
                                  "</url>\r\n\r\n<result>1</result>\r\n"
                           << "1.2" << url << "";
    QTest::newRow("third line is not read")
        << "<version>1.2</version>\n<url>" + url + "</url>\nanything\n<result>1</result>"
        << "1.2" << url << "";
    QTest::newRow("leading blank")
        << " <version>1.2</version>\n<url>" + url + "</url>\n\n<result>1</result>"
        << "" << url << "";
    QTest::newRow("capital tags") << "<VERSION>1.2</VERSION>\n<URL>" + url +
                                         "</URL>\n\n<result>1</result>"
                                  << ""
                                  << ""
                                  << "";
    QTest::newRow("no closing tag") << "<version>1.2\n<url>" + url + "\n\n<result>1</result>"
                                    << ""
                                    << ""
                                    << "";
    QTest::newRow("empty url") << "<version>1.2</version>\n<url></url>\n\n<result>1</result>"
                               << "1.2"
                               << ""
                               << "";
    QTest::newRow("result 2") << "<version>1.2</version>\n<url>" + url +
                                     "</url>\n\n<result>2</result>"
                              << ""
                              << "" << invalid;
    QTest::newRow("three lines only") << "<version>1.2</version>\n<url>" + url + "</url>\n\n"
                                      << ""
                                      << "" << invalid;
    QTest::newRow("result on line 5")
        << "<version>1.2</version>\n<url>" + url + "</url>\n\n\n<result>1</result>"
        << ""
        << "" << invalid;
    QTest::newRow("ERROR first") << "ERROR: unknown product\n<url>" + url +
                                        "</url>\n\n<result>1</result>"
                                 << ""
                                 << "" << invalid;
    QTest::newRow("ERROR alone") << "ERROR"
                                 << ""
                                 << "" << invalid;
    QTest::newRow("lower-case error is no refusal")
        << "error\n<url>" + url + "</url>\n\n<result>1</result>"
        << "" << url << "";
    // A download address the window would open is the maker's web page or nothing.
    for (const QString &foreign :
         {QStringLiteral("file:///etc/passwd"), QStringLiteral("https://elsewhere.example/get"),
          QStringLiteral("ftp://") + makerWebHost() + QStringLiteral("/get"),
          QStringLiteral("https://") + makerWebHost() + QStringLiteral("@elsewhere.example/")}) {
        QTest::newRow(qPrintable(QStringLiteral("download at ") + foreign))
            << "<version>1.2</version>\n<url>" + foreign + "</url>\n\n<result>1</result>"
            << ""
            << "" << invalid;
    }
    QTest::newRow("empty") << ""
                           << ""
                           << "" << invalid;
    QTest::newRow("error page") << "<html><head>\n<title>404 Not Found</title>\n</head>\n<body>"
                                << ""
                                << "" << invalid;
}

void CheckExchangeTest::readCheckAnswerCases()
{
    QFETCH(QString, answer);
    CheckErrors errors;

    const CheckAnswer read = readCheckAnswer(answer, errors);

    QTEST(read.serverVersion, "version");
    QTEST(read.downloadUrl, "url");
    QTEST(errors.log(), "log");
    QCOMPARE(errors.any(), !errors.log().isEmpty());
}

void CheckExchangeTest::failureRecord()
{
    CheckErrors errors;
    errors.add(QStringLiteral(" \t\r\n"));
    errors.add(QString());
    QVERIFY(!errors.any());
    QCOMPARE(errors.log(), QString());

    errors.add(QStringLiteral("A"));
    errors.add(QStringLiteral("  "));
    errors.add(QStringLiteral(" B\r"));
    QVERIFY(errors.any());
    // Joined by two carriage returns, each entry as given.
    QCOMPARE(errors.log(), QStringLiteral("A\r\r B\r"));

    errors.clear();
    QVERIFY(!errors.any());
    QCOMPARE(errors.log(), QString());
}

void CheckExchangeTest::localeCodeCases_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("code");
    QTest::newRow("US English") << QLocale(QLocale::English, QLocale::UnitedStates) << "en-US";
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << "de-DE";
    QTest::newRow("Swiss German") << QLocale(QLocale::German, QLocale::Switzerland) << "de-CH";
    QTest::newRow("C") << QLocale::c() << "xx";
}

void CheckExchangeTest::localeCodeCases()
{
    QFETCH(QLocale, locale);
    QTEST(localeCode(locale), "code");
}

void CheckExchangeTest::sendsTheSevenLinesInOrderOverHttps()
{
    m_service.setAnswer(QStringLiteral("check"),
                        {StandInService::checkAnswer(QStringLiteral("1.2"),
                                                     QStringLiteral("https://") + makerWebHost() +
                                                         QStringLiteral("/i.exe"))});
    CheckErrors errors;

    const CheckAnswer answer = runCheckExchange(
        QStringLiteral("0f8fad5b-d9cb-469f-a165-70867728950e"), 7, setup(), errors);

    QCOMPARE(answer.serverVersion, QStringLiteral("1.2"));
    QCOMPARE(answer.downloadUrl,
             QStringLiteral("https://") + makerWebHost() + QStringLiteral("/i.exe"));
    QCOMPARE(errors.log(), QString());
    const auto received = m_service.received();
    QCOMPARE(received.size(), 1);
    QCOMPARE(received[0].scheme, QStringLiteral("https"));
    QCOMPARE(received[0].path, QStringLiteral("/php/check2.php"));
    QCOMPARE(received[0].formLines(),
             QStringList({"cmd=check", "appname=TAVRINO - Inkvale", "version=1.1",
                          "os=Testing OS (Version 1.0, Build 2, 64-bit Edition)", "local=de-DE",
                          "guid=0f8fad5b-d9cb-469f-a165-70867728950e", "howmany=7"}));
}

void CheckExchangeTest::plainAnswerAfterARefusedSecureAttemptClearsTheRecord()
{
    m_service.refuse({QStringLiteral("https")});
    m_service.setAnswer(QStringLiteral("check"),
                        {StandInService::checkAnswer(QStringLiteral("1.3"), QString())});
    CheckErrors errors;
    // Recorded before the request: the plain answer clears it too.
    errors.add(QStringLiteral("Error: GUID generate problem!"));

    const CheckAnswer answer = runCheckExchange(QString(), 1, setup(), errors);

    QCOMPARE(answer.serverVersion, QStringLiteral("1.3"));
    QCOMPARE(answer.downloadUrl, QString());
    QVERIFY(!errors.any());
    QCOMPARE(errors.log(), QString());
    const auto received = m_service.received();
    QCOMPARE(received.size(), 1);
    QCOMPARE(received[0].scheme, QStringLiteral("http"));
    QVERIFY(received[0].formLines().contains(QStringLiteral("guid=")));
}

void CheckExchangeTest::bothAttemptsRefused()
{
    m_service.refuse({QStringLiteral("https"), QStringLiteral("http")});
    CheckErrors errors;

    const CheckAnswer answer = runCheckExchange(QString(), 1, setup(), errors);

    QCOMPARE(answer.serverVersion, QString());
    QVERIFY(errors.any());
    const QStringList entries = errors.log().split(QStringLiteral("\r\r"));
    QCOMPARE(entries.size(), 2);
    QVERIFY2(entries[0].startsWith(QStringLiteral("HTTPS Response:\r")) && entries[0].size() > 17,
             qPrintable(entries[0]));
    QVERIFY2(entries[1].startsWith(QStringLiteral("HTTP Response:\r")) && entries[1].size() > 16,
             qPrintable(entries[1]));
}

void CheckExchangeTest::plainAnswerNamingAForeignDownloadIsRefused()
{
    // Whoever answers in the clear (a network in the middle) names something to open.
    m_service.refuse({QStringLiteral("https")});
    m_service.setAnswer(
        QStringLiteral("check"),
        {StandInService::checkAnswer(QStringLiteral("9.9"), QStringLiteral("file:///etc/passwd"))});
    CheckErrors errors;

    const CheckAnswer answer = runCheckExchange(QString(), 1, setup(), errors);

    QCOMPARE(answer.serverVersion, QString());
    QCOMPARE(answer.downloadUrl, QString());
    QCOMPARE(errors.log(), QStringLiteral("INVALIDSERVERRESPONSE"));
    QCOMPARE(m_service.received().last().scheme, QStringLiteral("http"));
}

void CheckExchangeTest::secureErrorPageIsAnAnswerWithoutPlainAttempt()
{
    StandInService::Answer notFound;
    notFound.status = 404;
    m_service.setAnswer(QStringLiteral("check"), notFound, QStringLiteral("https"));
    CheckErrors errors;

    const CheckAnswer answer = runCheckExchange(QString(), 1, setup(), errors);

    QCOMPARE(answer.serverVersion, QString());
    QCOMPARE(errors.log(), QStringLiteral("INVALIDSERVERRESPONSE"));
    const auto received = m_service.received();
    QCOMPARE(received.size(), 1);
    QCOMPARE(received[0].scheme, QStringLiteral("https"));
}

void CheckExchangeTest::timeOutsAreBounded()
{
    StandInService::Answer late{StandInService::checkAnswer(QStringLiteral("1.2"), QString())};
    late.delayMs = 4000;
    m_service.setAnswer(QStringLiteral("check"), late);
    CheckExchangeSetup quick = setup();
    quick.timeoutMs = 300;
    CheckErrors errors;
    QElapsedTimer clock;
    clock.start();

    const CheckAnswer answer = runCheckExchange(QString(), 1, quick, errors);

    // Both attempts gave up long before the answers came.
    QVERIFY2(clock.elapsed() < 3500, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(answer.serverVersion, QString());
    QCOMPARE(errors.log().count(QStringLiteral("Response:\r")), 2);
    QCOMPARE(m_service.received().size(), 2);
}

void CheckExchangeTest::localeFailureLeavesItsLineOut()
{
    m_service.setAnswer(QStringLiteral("check"),
                        {StandInService::checkAnswer(QStringLiteral("1.2"), QString())});
    CheckExchangeSetup failing = setup();
    failing.localeCode = []() -> QString {
        throw std::runtime_error("no locale");
    };
    CheckErrors errors;

    const CheckAnswer answer = runCheckExchange(QString(), 3, failing, errors);

    // The recorded failure keeps the secure answer from being used.
    QCOMPARE(answer.serverVersion, QString());
    QCOMPARE(errors.log(), QStringLiteral("Error: LocaleName2 problem!"));
    const auto received = m_service.received();
    QCOMPARE(received.size(), 1);
    QCOMPARE(received[0].formLines().size(), 6);
    QCOMPARE(received[0].formLines().at(4), QStringLiteral("guid="));
}

INKVALE_TEST_MAIN(CheckExchangeTest)
#include "checkexchange_test.moc"
