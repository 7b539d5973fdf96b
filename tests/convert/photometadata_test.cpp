#include "convert/photometadata.h"
#include "convert/resultplacement.h"
#include "support/photofixture.h"
#include "support/testenvironment.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImage>
#include <QTemporaryDir>

using namespace inkvale;

// Which of a photo's records reach a result, per output format.
class PhotoMetadataTest : public QObject
{
    Q_OBJECT

private:
    static QByteArray encoded(const QImage &image, const char *format)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    }

    static QImage picture()
    {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(QColor(200, 120, 40));
        return image;
    }

    // The tool's PNG placed as `name` with the records of `input`.
    static inline QColorSpace m_lastResultColourSpace;

    static QMap<QString, QString> resultRecords(const QByteArray &input, const QString &name,
                                                bool keepLocation, QString *note = nullptr)
    {
        QTemporaryDir scratch;
        QTemporaryDir destination;
        const QString toolOutput = scratch.filePath(QStringLiteral("zemcartoon.png"));
        if (!test::writePicture(toolOutput, 64, 48)) {
            return {};
        }
        const QString output = destination.filePath(name);
        const ResultContent content{PhotoMetadata::readFrom(input), {0, keepLocation}};
        QString unwritten;
        const bool placed =
            placeResult(toolOutput, output, scratch.path(), {}, content, &unwritten).ok();
        if (note != nullptr) {
            *note = unwritten;
        }
        m_lastResultColourSpace = QImage(output).colorSpace();
        return placed ? test::recordsOf(output) : QMap<QString, QString>{};
    }

    static QStringList keysStartingWith(const QMap<QString, QString> &records, const char *prefix)
    {
        QStringList keys;
        for (const QString &key : records.keys()) {
            if (key.startsWith(QLatin1String(prefix))) {
                keys.append(key);
            }
        }
        return keys;
    }

private slots:
    void recordsPerFormat_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("keepLocation");
        QTest::addColumn<bool>("holdsIptc");
        QTest::newRow("png") << "out.png" << false << true;
        QTest::newRow("jpg") << "out.jpg" << false << true;
        QTest::newRow("webp") << "out.webp" << false << false;
        QTest::newRow("png, location kept") << "out.png" << true << true;
        QTest::newRow("jpg, location kept") << "out.jpg" << true << true;
        QTest::newRow("webp, location kept") << "out.webp" << true << false;
    }

    void recordsPerFormat()
    {
        QFETCH(QString, name);
        QFETCH(bool, keepLocation);
        QFETCH(bool, holdsIptc);
        const QByteArray input = test::withPhotoRecords(encoded(picture(), "jpeg"));
        QString note;
        const QMap<QString, QString> records = resultRecords(input, name, keepLocation, &note);
        QCOMPARE(note, QString());

        QCOMPARE(records.value("Exif.Image.Make"), "Inkvale Test Camera Co.");
        QCOMPARE(records.value("Exif.Image.Model"), "TC-1");
        QCOMPARE(records.value("Exif.Photo.DateTimeOriginal"), "2024:06:15 19:42:07");
        QCOMPARE(records.value("Exif.Image.Artist"), "Ada Lovelace");
        QCOMPARE(records.value("Exif.Image.Copyright"), "(c) 2024 Ada Lovelace");
        QCOMPARE(records.value("Exif.Image.ImageDescription"), "Beach at dusk");
        QCOMPARE(records.value("Exif.Photo.LensModel"), "TC 24-70mm");
        QCOMPARE(records.value("Exif.Photo.ExposureTime"), "1/250");
        QCOMPARE(records.value("Xmp.dc.subject"), "beach, dusk");
        QCOMPARE(records.value("Xmp.dc.creator"), "Ada Lovelace");
        // The pixels are upright; no thumbnail of the photo rides along.
        QCOMPARE(records.value("Exif.Image.Orientation"), "1");
        QCOMPARE(records.value("Xmp.tiff.Orientation"), "1");
        QCOMPARE(keysStartingWith(records, "Exif.Thumbnail."), QStringList());
        QCOMPARE(records.value("ICC"), QString::fromLatin1(test::photoColourProfile().toHex()));
        // And readers built on the formats' own libraries take it too.
        QCOMPARE(m_lastResultColourSpace, QColorSpace(QColorSpace::DisplayP3));

        if (keepLocation) {
            QCOMPARE(records.value("Exif.GPSInfo.GPSLatitudeRef"), "N");
            QVERIFY(records.contains("Exif.GPSInfo.GPSLongitude"));
            QCOMPARE(records.value("Xmp.photoshop.City"), "Paris");
        } else {
            QCOMPARE(keysStartingWith(records, "Exif.GPSInfo."), QStringList());
            QCOMPARE(keysStartingWith(records, "Xmp.exif.GPS"), QStringList());
            QVERIFY(!records.contains("Xmp.photoshop.City"));
            QVERIFY(!records.contains("Iptc.Application2.City"));
        }
        if (holdsIptc) {
            QCOMPARE(records.value("Iptc.Application2.Keywords"), "beach");
            QCOMPARE(records.value("Iptc.Application2.Copyright"), "(c) 2024 Ada Lovelace");
        }
    }

    // A BMP file has no place for any record.
    void bmpCarriesNone()
    {
        const QByteArray input = test::withPhotoRecords(encoded(picture(), "jpeg"));
        QString note;
        QCOMPARE(resultRecords(input, QStringLiteral("out.bmp"), false, &note),
                 (QMap<QString, QString>{}));
        QCOMPARE(note, QString());
    }

    // The records of a PNG or WebP input travel too.
    void inputFormats_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("png") << QByteArray("png");
        QTest::newRow("webp") << QByteArray("webp");
    }

    void inputFormats()
    {
        QFETCH(QByteArray, format);
        const QByteArray input = test::withPhotoRecords(encoded(picture(), format.constData()));
        const QMap<QString, QString> records =
            resultRecords(input, QStringLiteral("out.jpg"), false);
        QCOMPARE(records.value("Exif.Photo.DateTimeOriginal"), "2024:06:15 19:42:07");
        QCOMPARE(records.value("ICC"), QString::fromLatin1(test::photoColourProfile().toHex()));
        QCOMPARE(keysStartingWith(records, "Exif.GPSInfo."), QStringList());
    }

    // Damaged or absurd records never cost the result: it comes without them.
    void hostileRecords_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QString>("keptKey");

        const QByteArray jpeg = encoded(picture(), "jpeg");
        QByteArray garbage = QByteArrayLiteral("\xFF\xE1");
        const QByteArray body =
            QByteArrayLiteral("Exif\0\0MM\0*\0\0\0\x08\xFF\xFF") + QByteArray(200, '\xAB');
        garbage += char((body.size() + 2) >> 8);
        garbage += char((body.size() + 2) & 0xFF);
        garbage += body;
        QTest::newRow("EXIF that is no EXIF")
            << QByteArray(jpeg).insert(2, garbage) << QString() << QString();

        const QByteArray packet = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF "
                                  "xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
                                  "<rdf:Description xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
                                  "dc:format=\"" +
                                  QByteArray(17 << 20, 'x') + "\"/></rdf:RDF></x:xmpmeta>";
        // As a PNG text chunk: a JPEG segment cannot be that large.
        QByteArray huge = encoded(picture(), "png");
        QByteArray chunk = "iTXtXML:com.adobe.xmp" + QByteArray(5, '\0') + packet;
        QByteArray length(4, '\0');
        const quint32 size = quint32(chunk.size() - 4);
        for (int i = 0; i < 4; ++i) {
            length[i] = char((size >> (24 - 8 * i)) & 0xFF);
        }
        huge.insert(33, length + chunk + QByteArray(4, '\0'));
        QTest::newRow("XMP larger than any photo's")
            << huge << QStringLiteral("Metadata left out, larger than any photo's: XMP")
            << QString();
    }

    void hostileRecords()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, note);
        QFETCH(QString, keptKey);
        const PhotoMetadata metadata = PhotoMetadata::readFrom(input);
        if (note.isEmpty()) {
            QVERIFY(metadata.isEmpty() || metadata.note().isEmpty() ||
                    metadata.note().startsWith("Its metadata cannot be read"));
        } else {
            QCOMPARE(metadata.note(), note);
        }
        const QMap<QString, QString> records =
            resultRecords(input, QStringLiteral("out.png"), false);
        if (!keptKey.isEmpty()) {
            QVERIFY(records.contains(keptKey));
        }
        QVERIFY(!records.contains("Xmp.dc.format"));
    }
};

INKVALE_TEST_MAIN(PhotoMetadataTest)
#include "photometadata_test.moc"
