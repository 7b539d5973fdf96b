#include "base/fspath.h"
#include "support/testenvironment.h"

#include <filesystem>
#include <fstream>
#include <QTemporaryDir>

using namespace inkvale;

class FsPathTest : public QObject
{
    Q_OBJECT

private slots:
    // Every file name survives the way through a QString, valid UTF-8 or not.
    void namesKeepTheirBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("undecodable");
        QTest::newRow("ASCII") << QByteArray("/a/b c.jpg") << "/a/b c.jpg" << false;
        QTest::newRow("UTF-8 of two to four bytes")
            << QByteArray("J\xC3\xBCrgen \xE5\x9B\xBE \xF0\x9F\x98\x80")
            << QStringLiteral("J\u00FCrgen \u56FE \U0001F600") << false;
        QTest::newRow("stray bytes")
            << QByteArray("\xFF\xFE.jpg") << QString::fromUtf16(u"\xDCFF\xDCFE.jpg") << true;
        QTest::newRow("overlong form")
            << QByteArray("a\xC0\xAF") << QString::fromUtf16(u"a\xDCC0\xDCAF") << true;
        QTest::newRow("encoded surrogate")
            << QByteArray("\xED\xA0\x80") << QString::fromUtf16(u"\xDCED\xDCA0\xDC80") << true;
        QTest::newRow("beyond Unicode") << QByteArray("\xF4\x90\x80\x80")
                                        << QString::fromUtf16(u"\xDCF4\xDC90\xDC80\xDC80") << true;
        QTest::newRow("cut-off sequence, then valid text")
            << QByteArray("\xE2\x82 \xE2\x82\xAC") << QString::fromUtf16(u"\xDCE2\xDC82 \x20AC")
            << true;
    }

    void namesKeepTheirBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(bool, undecodable);
        const std::filesystem::path path(std::string(bytes.constData(), bytes.size()));
        QCOMPARE(fromFsPath(path), text);
        QCOMPARE(QByteArray::fromStdString(toFsPath(text).native()), bytes);
        QCOMPARE(hasUndecodableBytes(text), undecodable);
        QCOMPARE(withUndecodableBytesReplaced(text).contains(QChar::ReplacementCharacter),
                 undecodable);
    }

    void fileWithSuchANameCanBeReached()
    {
        QTemporaryDir folder;
        const std::filesystem::path raw = toFsPath(folder.path()) / std::string("\xFF\xFE.jpg");
        std::ofstream(raw) << "bytes";
        const QString listed =
            fromFsPath(std::filesystem::directory_iterator(toFsPath(folder.path()))->path());
        QVERIFY(hasUndecodableBytes(listed));
        QVERIFY(std::filesystem::is_regular_file(toFsPath(listed)));
    }
};

INKVALE_TEST_MAIN(FsPathTest)
#include "fspath_test.moc"
