#include "convert/conversionjob.h"
#include "convert/effectavailability.h"
#include "convert/filenames.h"
#include "convert/stringtoollog.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <QVersionNumber>

using namespace inkvale;

// The real G'MIC on small pictures: what each effect gives on this machine.
class RealToolTest : public QObject
{
    Q_OBJECT

private:
    const ToolLocation m_tool{QStringLiteral(INKVALE_BIN_DIR)};
    EffectAvailability m_availability;
    QTemporaryDir m_work;

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo(m_tool.toolFile()).isFile(), "the build places gmic/gmic");
        m_availability = probeEffects(m_tool);
        qInfo() << "G'MIC" << m_availability.toolVersion;
    }

    void probeNamesWhatTheToolLacks()
    {
        QVERIFY(!m_availability.toolVersion.isEmpty());
        for (const QString effect : {"Cartoon", "Cutout", "Pen Drawing"}) {
            QVERIFY2(m_availability.isAvailable(effect), qPrintable(m_availability.reason(effect)));
        }
        // The two community filters are built in from G'MIC 3.3.3 on.
        const bool modern =
            QVersionNumber::fromString(m_availability.toolVersion) >= QVersionNumber(3, 3, 3);
        for (const QString effect : {"Comicbook", "Lineart"}) {
            QCOMPARE(m_availability.isAvailable(effect), modern);
            if (!modern) {
                const QString reason = m_availability.reason(effect);
                QVERIFY2(reason.startsWith("G'MIC " + m_availability.toolVersion),
                         qPrintable(reason));
                QVERIFY2(reason.contains("Unknown command"), qPrintable(reason));
                QVERIFY(!reason.contains(QLatin1Char('\x1b')));
            }
        }
    }

    void probeWithoutTool()
    {
        QTemporaryDir empty;
        const EffectAvailability availability = probeEffects(ToolLocation(empty.path()));
        QCOMPARE(availability.unavailable.size(), 5);
        QVERIFY(availability.reason("Cartoon").contains(QStringLiteral("cannot be started")));
    }

    void convert_data()
    {
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QString>("format");
        for (const char *effect : {"Cartoon", "Cutout", "Pen Drawing"}) {
            for (const char *format : {"png", "jpg", "bmp"}) {
                QTest::addRow("%s to %s", effect, format) << effect << format;
            }
        }
    }

    void convert()
    {
        QFETCH(QString, effect);
        QFETCH(QString, format);
        const QString input = m_work.filePath(QStringLiteral("input.jpg"));
        if (!QFileInfo::exists(input)) {
            QVERIFY(test::writePicture(input, 120, 80));
        }
        const QString output = m_work.filePath(QStringLiteral("%1.%2").arg(effect, format));
        StringToolLog log;
        QVERIFY2(convertImage(effect, input, output, log, m_tool).converted(),
                 qPrintable(log.text()));

        QImageReader reader(output);
        reader.setDecideFormatFromContent(true);
        QCOMPARE(reader.format(), format == "jpg" ? QByteArray("jpeg") : format.toLatin1());
        QCOMPARE(reader.size(), QSize(120, 80));
        QVERIFY(!reader.read().isNull());
    }

    void effectsTheToolLacksGiveNoFile_data()
    {
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QString>("command");
        QTest::newRow("Comicbook") << "Comicbook"
                                   << "cl_comic";
        QTest::newRow("Lineart") << "Lineart"
                                 << "cl_lineart";
    }

    void effectsTheToolLacksGiveNoFile()
    {
        QFETCH(QString, effect);
        QFETCH(QString, command);
        if (m_availability.isAvailable(effect)) {
            QSKIP("this G'MIC has the effect; it is converted like the others");
        }
        const QString input = m_work.filePath(QStringLiteral("lacking.png"));
        QVERIFY(test::writePicture(input, 40, 30));
        const QString output = m_work.filePath(effect + QStringLiteral(".png"));
        StringToolLog log;
        QVERIFY(!convertImage(effect, input, output, log, m_tool).converted());
        QVERIFY(!QFileInfo::exists(output));
        QVERIFY2(
            log.text().contains(QStringLiteral("Unknown command or filename '%1'").arg(command)),
            qPrintable(log.text()));
    }

    // Names that the tool itself would split or substitute still convert as themselves.
    void namesTheToolWouldMisread_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("comma") << "Paris, 2019.png";
        QTest::newRow("braces") << "a{2*3}.png";
        QTest::newRow("dollar") << "cost $HOME.png";
        QTest::newRow("double quote") << "say \"cheese\".png";
        QTest::newRow("leading dash") << "-rotate 90.png";
    }

    void namesTheToolWouldMisread()
    {
        QFETCH(QString, name);
        QTemporaryDir folder;
        const QString input = folder.filePath(name);
        QVERIFY(test::writePicture(input, 30 + name.size(), 20));
        const QString output =
            batchOutputName(folder.filePath(QStringLiteral("out")), input, QStringLiteral("JPG"));
        QCOMPARE(QFileInfo(output).completeBaseName(), QFileInfo(name).completeBaseName());
        QDir().mkpath(folder.filePath(QStringLiteral("out")));
        StringToolLog log;
        QVERIFY2(convertImage(QStringLiteral("Cartoon"), input, output, log, m_tool).converted(),
                 qPrintable(log.text()));
        // The size tells that this very picture was read.
        QCOMPARE(QImageReader(output).size(), QSize(30 + name.size(), 20));
        QCOMPARE(QDir(folder.filePath(QStringLiteral("out"))).entryList(QDir::Files),
                 QStringList{QFileInfo(name).completeBaseName() + QStringLiteral(".jpg")});
    }
};

INKVALE_TEST_MAIN(RealToolTest)
#include "realtool_test.moc"
