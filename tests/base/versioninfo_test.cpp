#include "base/versioninfo.h"
#include "support/testenvironment.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <system_error>

using namespace inkvale;

class VersionInfoTest : public QObject
{
    Q_OBJECT

private:
    const QString m_executable = QStringLiteral(INKVALE_CONVERT_EXECUTABLE);

private slots:
    void recordOfTheBuiltProgram()
    {
        const VersionData data = readVersionData(m_executable);
        QCOMPARE(data.CompanyName, QStringLiteral("TAVRINO"));
        QCOMPARE(data.ProductName, QStringLiteral("Inkvale"));
        QCOMPARE(data.FileDescription, QStringLiteral("Inkvale"));
        QCOMPARE(data.InternalName, QStringLiteral("Inkvale"));
        QCOMPARE(data.FileVersion, QStringLiteral("1.1.0.0"));
        QCOMPARE(data.ProductVersion, QStringLiteral("1.1.0.0"));
        // Stored as "OriginalFilename"; the lookup ignores case.
        QCOMPARE(data.OriginalFileName, QFileInfo(m_executable).fileName());
        QVERIFY(data.PrivateBuild.isEmpty());
        QVERIFY(data.SpecialBuild.isEmpty());
        QCOMPARE(readVersionNumber(m_executable), 0x00010001u);
        QCOMPARE(formatAppVersion(readVersionNumber(m_executable)), QStringLiteral("1.1"));
    }

    void missingStringsKeepTheCallersValues()
    {
        VersionData data;
        data.SpecialBuild = QStringLiteral("kept");
        readVersionData(m_executable, data);
        QCOMPARE(data.SpecialBuild, QStringLiteral("kept"));
        QCOMPARE(data.CompanyName, QStringLiteral("TAVRINO"));
    }

    void filesWithoutVersionInformation_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // empty: the file does not exist
        QTest::newRow("text file") << "notes.txt" << QByteArray("just text\n");
        QTest::newRow("missing file") << "missing" << QByteArray();
    }

    void filesWithoutVersionInformation()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        VersionData data;
        data.CompanyName = QStringLiteral("untouched");
        try {
            readVersionData(path, data);
            QFAIL("reading should fail");
        } catch (const std::system_error &error) {
            QVERIFY(error.code().value() != 0);
            QVERIFY(!QString::fromLocal8Bit(error.what()).isEmpty());
        }
        QCOMPARE(data.CompanyName, QStringLiteral("untouched"));
        QCOMPARE(readVersionNumber(path), 0xFFFFFFFFu);
    }

    void appVersionText_data()
    {
        QTest::addColumn<quint32>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("1.1") << quint32(0x00010001) << "1.1";
        QTest::newRow("2.10") << quint32(0x0002000A) << "2.10";
        QTest::newRow("no version") << quint32(0xFFFFFFFF) << "65535.65535";
        QTest::newRow("zero") << quint32(0) << "0.0";
    }

    void appVersionText()
    {
        QFETCH(quint32, number);
        QFETCH(QString, text);
        QCOMPARE(formatAppVersion(number), text);
    }
};

INKVALE_TEST_MAIN(VersionInfoTest)
#include "versioninfo_test.moc"
