#include "convert/batchcontroller.h"
#include "convert/batchsources.h"
#include "convert/conversionjob.h"
#include "convert/pictureformats.h"
#include "convert/picturereading.h"
#include "convert/stringtoollog.h"
#include "imagelist/giffixture.h"
#include "support/faketool.h"
#include "support/photofixture.h"
#include "support/testenvironment.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace inkvale;

namespace {

// The reader of the format `data` holds by its content; empty for none.
QByteArray readerOf(const QByteArray &data)
{
    const PictureFormat *format = formatOfContent(data);
    return format != nullptr ? format->reader : QByteArray();
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage picture()
{
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(qRgb(10, 120, 200));
    return image;
}

// Every input format Inkvale takes, as a file name and its content.
QList<std::pair<QString, QByteArray>> inputsOfEveryFormat()
{
    return {{QStringLiteral("from-jpg.jpg"), encoded(picture(), "jpeg")},
            {QStringLiteral("from-png.png"), encoded(picture(), "png")},
            {QStringLiteral("from-bmp.bmp"), encoded(picture(), "bmp")},
            {QStringLiteral("from-gif.gif"), test::gifData(20, 10)},
            {QStringLiteral("from-tiff.tif"), encoded(picture(), "tiff")},
            {QStringLiteral("from-webp.webp"), encoded(picture(), "webp")},
            {QStringLiteral("from-heic.heic"), test::heifPicture(picture(), false)},
            {QStringLiteral("from-avif.avif"), test::heifPicture(picture(), true)}};
}

class FixedSources : public BatchSources
{
public:
    QStringList rows;
    QString destinationText;
    QString formatText;

    int rowCount() const override { return static_cast<int>(rows.size()); }
    QString rowPath(int row) const override { return rows.at(row); }
    QString destination() const override { return destinationText; }
    QString format() const override { return formatText; }
    QString effect() const override { return QStringLiteral("Cartoon"); }
};

} // namespace

// Every input format into every output format, and what the tool gets to see of them.
class FormatPairsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        for (const auto &[name, content] : inputsOfEveryFormat()) {
            if (content.isEmpty()) {
                QFAIL(qPrintable(QStringLiteral("no encoder for the fixture ") + name));
            }
        }
    }

    void everyInputIntoEveryOutput_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("written"); // the reader of the result's content
        QTest::newRow("PNG") << "PNG" << QByteArray("png");
        QTest::newRow("JPG") << "JPG" << QByteArray("jpeg");
        QTest::newRow("BMP") << "BMP" << QByteArray("bmp");
        QTest::newRow("WebP") << "WebP" << QByteArray("webp");
        QTest::newRow("AVIF") << "AVIF" << QByteArray("avif");
    }

    void everyInputIntoEveryOutput()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, written);
        const test::FakeTool tool(test::FakeTool::Behaviour::Succeed);
        QTemporaryDir inputs;
        QTemporaryDir destination;
        FixedSources sources;
        for (const auto &[name, content] : inputsOfEveryFormat()) {
            QVERIFY(test::writeFile(inputs.filePath(name), content));
            sources.rows.append(inputs.filePath(name));
        }
        sources.destinationText = destination.path();
        sources.formatText = format;

        const BatchResult result = convertBatch(sources, tool.location());

        QCOMPARE(result.failures.size(), 0);
        QCOMPARE(result.converted, sources.rows.size());
        for (const QString &input : sources.rows) {
            const QString output = QDir(destination.path())
                                       .filePath(QFileInfo(input).completeBaseName() +
                                                 QLatin1Char('.') + format.toLower());
            QFile file;
            QVERIFY2(openPictureFile(output, file).ok(), qPrintable(output));
            QCOMPARE(readerOf(pictureStart(file)), written);
            QVERIFY(readWholePicture(file, written).ok());
        }
    }

    // The tool reads the formats it knows as they are, and the others as a copy it reads.
    void newFormatsReachTheToolAsACopy_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("toolInput");
        const QByteArray heic = test::heifPicture(picture(), false);
        QTest::newRow("webp") << "a.webp" << encoded(picture(), "webp") << "input.bmp";
        QTest::newRow("heic") << "a.heic" << heic << "input.bmp";
        QTest::newRow("avif") << "a.avif" << test::heifPicture(picture(), true) << "input.bmp";
        QTest::newRow("heic named .jpg") << "a.jpg" << heic << "input.bmp";
        QTest::newRow("jpeg named .heic") << "a.heic" << encoded(picture(), "jpeg") << "input.jpg";
    }

    void newFormatsReachTheToolAsACopy()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, toolInput);
        const test::FakeTool tool(test::FakeTool::Behaviour::CopyInput);
        QTemporaryDir folder;
        const QString input = folder.filePath(name);
        QVERIFY(test::writeFile(input, content));
        StringToolLog log;

        const ConversionResult result =
            convertImage(QStringLiteral("Cartoon"), input,
                         folder.filePath(QStringLiteral("result.bmp")), log, tool.location());

        QVERIFY2(result.converted(), qPrintable(result.failure));
        QCOMPARE(QFileInfo(tool.recordedArguments().value(0)).fileName(), toolInput);
        QFile copy;
        QVERIFY(openPictureFile(folder.filePath(QStringLiteral("result.bmp")), copy).ok());
        const Result<DecodedPicture> reading = readWholePicture(copy, readerOf(pictureStart(copy)));
        QVERIFY(reading.ok());
        const QImage &image = reading.value().image;
        QCOMPARE(image.size(), QSize(20, 10));
        // The tool's copy shows the picture (the lossy formats differ a little).
        QVERIFY(qAbs(QColor(image.pixel(5, 5)).blue() - 200) < 16);
    }

    // A damaged HEIC, AVIF or WebP fails before the tool starts, with the decoder's words.
    void damagedInputsFail_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        const QByteArray heic = test::heifPicture(picture(), false);
        const QByteArray avif = test::heifPicture(picture(), true);
        const QByteArray webp = encoded(picture(), "webp");
        QTest::newRow("heic cut off") << "a.heic" << heic.left(heic.size() / 2);
        QTest::newRow("avif cut off") << "a.avif" << avif.left(avif.size() / 2);
        QTest::newRow("webp cut off") << "a.webp" << webp.left(webp.size() / 2);
        QByteArray scrambled = heic;
        for (qsizetype i = 40; i < scrambled.size(); i += 7) {
            scrambled[i] = char(scrambled[i] ^ 0x5A);
        }
        QTest::newRow("heic scrambled") << "a.heic" << scrambled;
        QTest::newRow("heif box and nothing else")
            << "a.heic" << QByteArray::fromHex("0000001c667479706865696300000000686569636d696631");
    }

    void damagedInputsFail()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        const test::FakeTool tool(test::FakeTool::Behaviour::Succeed);
        QTemporaryDir folder;
        const QString input = folder.filePath(name);
        QVERIFY(test::writeFile(input, content));
        StringToolLog log;

        const ConversionResult result =
            convertImage(QStringLiteral("Cartoon"), input,
                         folder.filePath(QStringLiteral("result.png")), log, tool.location());

        QVERIFY(!result.converted());
        QVERIFY(!result.failure.isEmpty());
        QVERIFY(tool.recordedArguments().isEmpty());
    }

    // A phone's HEIC photo keeps its date and camera, not its place.
    void heicRecordsReachTheResult()
    {
        const test::FakeTool tool(test::FakeTool::Behaviour::Succeed);
        QTemporaryDir folder;
        const QString input = folder.filePath(QStringLiteral("phone.heic"));
        QVERIFY(
            test::writeFile(input, test::heifPicture(picture(), false, test::photoExifBlock())));
        const QString output = folder.filePath(QStringLiteral("phone.jpg"));
        StringToolLog log;

        QVERIFY(convertImage(QStringLiteral("Cartoon"), input, output, log, tool.location())
                    .converted());

        const QMap<QString, QString> records = test::recordsOf(output);
        QCOMPARE(records.value("Exif.Photo.DateTimeOriginal"), "2024:06:15 19:42:07");
        QCOMPARE(records.value("Exif.Image.Model"), "TC-1");
        QCOMPARE(records.value("Exif.Image.Orientation"), "1");
        QVERIFY(!records.contains("Exif.GPSInfo.GPSLatitude"));
    }
};

INKVALE_TEST_MAIN(FormatPairsTest)
#include "formatpairs_test.moc"
