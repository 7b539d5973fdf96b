#include "convert/heifcodec.h"
#include "convert/pictureformats.h"
#include "support/testenvironment.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

using namespace inkvale;

// What every caller relies on when it reads the format table; a new row must keep it.
class PictureFormatsTest : public QObject
{
    Q_OBJECT

private slots:
    void folderScanTakesThePictureExtensions()
    {
        QCOMPARE(scannedPatterns(),
                 QStringList({"*.png", "*.jpg", "*.jpeg", "*.gif", "*.bmp", "*.tif", "*.tiff",
                              "*.webp", "*.heic", "*.heif", "*.avif"}));
        QCOMPARE(outputChoices(), QStringList({"PNG", "JPG", "BMP", "WebP", "AVIF"}));
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
        QTest::newRow("heic") << "phone.HEIC" << QByteArray("heif");
        QTest::newRow("heif") << "phone.heif" << QByteArray("heif");
        QTest::newRow("avif") << "a.avif" << QByteArray("avif");
        QTest::newRow("webp") << "a.webp" << QByteArray("webp");
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
            QCOMPARE(format->extensions.constFirst(), choice.toLower());
            QImage image(8, 8, QImage::Format_RGB32);
            image.fill(Qt::red);
            QByteArray data;
            if (format->writer == "avif") {
                // libheif's writer, not Qt's.
                QTemporaryDir folder;
                const QString path = folder.filePath(QStringLiteral("a.avif"));
                QCOMPARE(HeifCodec::writeAvif(image, path, 50, {}), QString());
                QFile file(path);
                QVERIFY(file.open(QIODevice::ReadOnly));
                data = file.readAll();
            } else {
                QVERIFY2(QImageWriter::supportedImageFormats().contains(format->writer),
                         qPrintable(choice));
                QBuffer buffer(&data);
                buffer.open(QIODevice::WriteOnly);
                QVERIFY(QImageWriter(&buffer, format->writer).write(image));
            }
            QCOMPARE(formatOfContent(data), format);
        }
        QCOMPARE(formatOfOutputChoice(QStringLiteral("jpg")), nullptr);
    }

    // Qt's readers, but for HEIF pictures, which libheif reads.
    void everyReaderIsThere()
    {
        for (const PictureFormat &format : pictureFormats()) {
            if ((format.scannedInFolders || format.signature != nullptr) &&
                format.reader != "heif" && format.reader != "avif") {
                QVERIFY2(QImageReader::supportedImageFormats().contains(format.reader),
                         format.reader.constData());
            }
        }
    }

    void recognisedNamesReadAsAPhrase()
    {
        QCOMPARE(recognisedFormatNames(),
                 QStringLiteral("AVIF, BMP, GIF, HEIC, JPEG, PNG, TIFF or WebP"));
        QCOMPARE(alternativesPhrase({QStringLiteral("A")}), QStringLiteral("A"));
        QCOMPARE(alternativesPhrase({QStringLiteral("A"), QStringLiteral("B")}),
                 QStringLiteral("A or B"));
    }
};

INKVALE_TEST_MAIN(PictureFormatsTest)
#include "pictureformats_test.moc"
