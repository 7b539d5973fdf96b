#include "convert/pictureformats.h"
#include "support/testenvironment.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>

using namespace inkvale;

// What every caller relies on when it reads the format table; a new row must keep it.
class PictureFormatsTest : public QObject
{
    Q_OBJECT

private slots:
    void folderScanTakesTheSevenExtensions()
    {
        QCOMPARE(scannedPatterns(), QStringList({QStringLiteral("*.png"), QStringLiteral("*.jpg"),
                                                 QStringLiteral("*.jpeg"), QStringLiteral("*.gif"),
                                                 QStringLiteral("*.bmp"), QStringLiteral("*.tif"),
                                                 QStringLiteral("*.tiff")}));
        QCOMPARE(outputChoices(), QStringList({QStringLiteral("PNG"), QStringLiteral("JPG"),
                                               QStringLiteral("BMP")}));
    }

    void namesFindTheirFormat_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("reader");
        QTest::newRow("upper case") << "/a/B.JPEG" << QByteArray("jpeg");
        QTest::newRow("short tiff") << "c:\\x\\y.tif" << QByteArray("tiff");
        QTest::newRow("dot in a folder only") << "/a.png/file" << QByteArray();
        QTest::newRow("no extension") << "png" << QByteArray();
        QTest::newRow("icon") << "i.ico" << QByteArray("ico");
        QTest::newRow("unknown") << "x.webm" << QByteArray();
    }

    void namesFindTheirFormat()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, reader);
        const PictureFormat *format = formatOfName(path);
        QCOMPARE(format != nullptr ? format->reader : QByteArray(), reader);
    }

    // Each output is written by its writer, recognised again by its signature and named by
    // its extension: otherwise a result could not be checked or found.
    void everyOutputRoundTrips()
    {
        for (const QString &choice : outputChoices()) {
            const PictureFormat *format = formatOfOutputChoice(choice);
            QVERIFY(format != nullptr);
            QVERIFY2(QImageWriter::supportedImageFormats().contains(format->writer),
                     qPrintable(choice));
            QCOMPARE(format->extensions.constFirst(), choice.toLower());
            QByteArray data;
            QBuffer buffer(&data);
            buffer.open(QIODevice::WriteOnly);
            QImage image(8, 8, QImage::Format_RGB32);
            image.fill(Qt::red);
            QVERIFY(QImageWriter(&buffer, format->writer).write(image));
            QCOMPARE(formatOfContent(data), format);
        }
        QCOMPARE(formatOfOutputChoice(QStringLiteral("jpg")), nullptr);
    }

    void everyReaderIsQts()
    {
        for (const PictureFormat &format : pictureFormats()) {
            if (format.scannedInFolders || format.signature != nullptr) {
                QVERIFY2(QImageReader::supportedImageFormats().contains(format.reader),
                         format.reader.constData());
            }
        }
    }

    void recognisedNamesReadAsAPhrase()
    {
        QCOMPARE(recognisedFormatNames(), QStringLiteral("BMP, GIF, JPEG, PNG or TIFF"));
        QCOMPARE(alternativesPhrase({QStringLiteral("A")}), QStringLiteral("A"));
        QCOMPARE(alternativesPhrase({QStringLiteral("A"), QStringLiteral("B")}),
                 QStringLiteral("A or B"));
    }
};

INKVALE_TEST_MAIN(PictureFormatsTest)
#include "pictureformats_test.moc"
