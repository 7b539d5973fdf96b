#include "support/testenvironment.h"
#include "windowkit/makerweb.h"

using namespace inkvale;

class MakerWebTest : public QObject
{
    Q_OBJECT

private slots:
    void makerAddresses_data();
    void makerAddresses();
};

void MakerWebTest::makerAddresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("maker");

    const QString host = QStringLiteral("www.tavrino.example");
    const QString local = QStringLiteral("127.0.0.1:8080");
    QTest::newRow("https") << "https://www.tavrino.example/get/inkvale.deb" << host << true;
    QTest::newRow("http") << "http://www.tavrino.example/download/" << host << true;
    QTest::newRow("letter case") << "HTTPS://WWW.Tavrino.Example/get" << host << true;
    QTest::newRow("default port named") << "https://www.tavrino.example:443/get" << host << true;
    QTest::newRow("host with a port") << "http://127.0.0.1:8080/download/" << local << true;

    QTest::newRow("file") << "file:///etc/passwd" << host << false;
    QTest::newRow("local path") << "/etc/passwd" << host << false;
    QTest::newRow("relative") << "get/inkvale.deb" << host << false;
    QTest::newRow("no scheme") << "//www.tavrino.example/get" << host << false;
    QTest::newRow("other scheme") << "ftp://www.tavrino.example/get" << host << false;
    QTest::newRow("script") << "javascript:alert(1)" << host << false;
    QTest::newRow("other host") << "https://elsewhere.example/get" << host << false;
    QTest::newRow("longer name") << "https://www.tavrino.example.elsewhere.example/" << host
                                 << false;
    QTest::newRow("parent domain") << "https://tavrino.example/get" << host << false;
    QTest::newRow("user information")
        << "https://www.tavrino.example@elsewhere.example/" << host << false;
    QTest::newRow("user on the host") << "https://someone@www.tavrino.example/" << host << false;
    QTest::newRow("other port") << "https://www.tavrino.example:8443/get" << host << false;
    QTest::newRow("port missing") << "http://127.0.0.1/download/" << local << false;
    QTest::newRow("other port than the host's") << "http://127.0.0.1:8081/" << local << false;
    QTest::newRow("broken") << "https://www.tavrino.example:99999/" << host << false;
    QTest::newRow("empty") << "" << host << false;
}

void MakerWebTest::makerAddresses()
{
    QFETCH(QString, address);
    QFETCH(QString, host);
    QTEST(isMakerAddress(address, host), "maker");
}

INKVALE_TEST_MAIN(MakerWebTest)
#include "makerweb_test.moc"
