#include "online/feedbackrequest.h"
#include "online/pcre2pattern.h"
#include "support/testenvironment.h"

using namespace inkvale;

class Pcre2PatternTest : public QObject
{
    Q_OBJECT

private slots:
    void emailPattern_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("matches");

        QTest::newRow("plain") << QStringLiteral("user@example.com") << true;
        QTest::newRow("shortest") << QStringLiteral("a@b.c") << true;
        QTest::newRow("local part signs")
            << QStringLiteral("first.last+tag_1-x@example.org") << true;
        QTest::newRow("capitals") << QStringLiteral("User@Example.COM") << true;
        QTest::newRow("dash in the first label")
            << QStringLiteral("a@mail-server.example.org") << true;
        QTest::newRow("dots run after the first") << QStringLiteral("a@b..c") << true;
        QTest::newRow("digits only") << QStringLiteral("1@2.3") << true;
        // "$" also matches before a final line feed; the window trims the address first.
        QTest::newRow("final line feed") << QStringLiteral("a@b.c\n") << true;

        QTest::newRow("empty") << QString() << false;
        QTest::newRow("no dot after the at sign") << QStringLiteral("user@example") << false;
        QTest::newRow("underscore in the domain") << QStringLiteral("user@exa_mple.com") << false;
        QTest::newRow("non-ASCII local part") << QStringLiteral("jürgen@example.com") << false;
        QTest::newRow("non-ASCII domain") << QStringLiteral("user@exämple.com") << false;
        QTest::newRow("ends in a dot") << QStringLiteral("user@example.com.") << false;
        QTest::newRow("ends in a dash") << QStringLiteral("user@example.com-") << false;
        QTest::newRow("no local part") << QStringLiteral("@example.com") << false;
        QTest::newRow("empty first label") << QStringLiteral("user@.com") << false;
        QTest::newRow("two at signs") << QStringLiteral("a@b@example.com") << false;
        QTest::newRow("inner blank") << QStringLiteral("first last@example.com") << false;
        QTest::newRow("leading blank") << QStringLiteral(" user@example.com") << false;
        QTest::newRow("inner line feed") << QStringLiteral("a@b.c\nd") << false;
    }

    void emailPattern()
    {
        QFETCH(QString, address);
        QFETCH(bool, matches);

        const Pcre2Pattern pattern(feedbackEmailPattern());
        QCOMPARE(pattern.matches(address.toStdString()), matches);
        QCOMPARE(isValidFeedbackEmail(address), matches);
    }

    void badPatternThrowsWithPcreMessage()
    {
        try {
            Pcre2Pattern pattern("[a-");
            QFAIL("no error");
        } catch (const Pcre2PatternError &error) {
            QVERIFY(QString::fromUtf8(error.what()).contains(QStringLiteral("offset 3")));
        }
    }
};

INKVALE_TEST_MAIN(Pcre2PatternTest)
#include "pcre2pattern_test.moc"
