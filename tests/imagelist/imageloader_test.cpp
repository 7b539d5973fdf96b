#include "base/fspath.h"
#include "imagelist/giffixture.h"
#include "imagelist/imageloader.h"
#include "support/picturefixtures.h"
#include "support/testenvironment.h"

#include <filesystem>
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QtConcurrent/QtConcurrentRun>
#include <QTemporaryDir>
#include <sys/resource.h>

using namespace inkvale;

namespace {

QByteArray encoded(int width, int height, const char *format)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb((x * 7) ^ y, y * 3, x + y));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QByteArray cut(const QByteArray &bytes, double share)
{
    return bytes.left(static_cast<qsizetype>(bytes.size() * share));
}

// A JPEG whose header carries a small JPEG of its own, as cameras store thumbnails: that
// one's end marker comes long before the picture's end.
QByteArray jpegWithThumbnail()
{
    const QByteArray thumbnail = encoded(8, 8, "JPEG");
    const QByteArray picture = encoded(160, 120, "JPEG");
    const int length = static_cast<int>(thumbnail.size()) + 2;
    QByteArray segment("\xFF\xEF");
    segment.append(char(length >> 8));
    segment.append(char(length & 0xFF));
    segment.append(thumbnail);
    return picture.left(2) + segment + picture.mid(2);
}

} // namespace

class ImageLoaderTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_work;

    QString fixture(const QString &name, const QByteArray &content)
    {
        const QString path = m_work.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
            qFatal("cannot write fixture %s", qPrintable(path));
        }
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_work.isValid());
        for (const QString name : {"good.png", "good.jpg", "good.jpeg", "good.bmp", "good.tif",
                                   "good.tiff", "upper.PNG", "upper.JPG", "upper.TIFF"}) {
            QVERIFY(test::writePicture(m_work.filePath(name), 33, 21));
        }
        QVERIFY(test::writeGif(m_work.filePath(QStringLiteral("good.gif")), 33, 21));
        QVERIFY(test::writeGif(m_work.filePath(QStringLiteral("upper.GIF")), 33, 21));
        fixture("trailing bytes.jpg", encoded(33, 21, "JPEG") + QByteArray(100, 'x'));

        fixture("jpeg data.png", encoded(33, 21, "JPEG"));
        fixture("png data.jpg", encoded(33, 21, "PNG"));
        fixture("truncated.jpg", cut(encoded(160, 120, "JPEG"), 0.6));
        fixture("truncated.jpeg", cut(encoded(160, 120, "JPEG"), 0.99));
        fixture("truncated thumbnail.jpg", cut(jpegWithThumbnail(), 0.9));
        fixture("complete thumbnail.jpg", jpegWithThumbnail());
        fixture("truncated.png", cut(encoded(160, 120, "PNG"), 0.6));
        fixture("truncated.bmp", cut(encoded(160, 120, "BMP"), 0.9));
        fixture("truncated.gif", cut(test::gifData(160, 120), 0.7));
        fixture("notes.txt", "not a picture\n");
        // A portrait photo as phones store it: lying down, with a tag that turns it upright.
        for (const int orientation : {0, 1, 3, 6, 8}) {
            fixture(QStringLiteral("orientation %1.jpg").arg(orientation),
                    test::jpegWithOrientation(test::markedPicture(QSize(21, 33)), orientation));
        }
        fixture("no extension", encoded(33, 21, "PNG"));
        QVERIFY(QDir(m_work.path()).mkdir(QStringLiteral("folder.png")));
    }

    void readsTheSizeWithTheDecoderOfTheExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        for (const char *name :
             {"good.png", "good.jpg", "good.jpeg", "good.bmp", "good.gif", "good.tif", "good.tiff",
              "upper.PNG", "upper.JPG", "upper.GIF", "upper.TIFF", "trailing bytes.jpg"}) {
            QTest::newRow(name) << name << QSize(33, 21);
        }
        QTest::newRow("thumbnail in the header") << "complete thumbnail.jpg" << QSize(160, 120);
        // The size as viewers show the photo.
        for (const int orientation : {0, 1, 3, 6, 8}) {
            const QString name = QStringLiteral("orientation %1.jpg").arg(orientation);
            QTest::newRow(qPrintable(name)) << name << QSize(21, 33);
        }
    }

    void readsTheSizeWithTheDecoderOfTheExtension()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const QString path = m_work.filePath(name);
        const Result<QSize> result = loadPicture(path);
        QVERIFY2(result.ok(), qPrintable(result.error()));
        QCOMPARE(result.value(), size);
        QVERIFY(result.error().isEmpty());
    }

    void failsWithTheLoadersMessage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message"); // a part of it; empty when any text will do
        QTest::newRow("JPEG data named .png") << "jpeg data.png"
                                              << "";
        QTest::newRow("PNG data named .jpg") << "png data.jpg"
                                             << "";
        QTest::newRow("truncated JPEG") << "truncated.jpg"
                                        << "truncated";
        QTest::newRow("JPEG without its last bytes") << "truncated.jpeg"
                                                     << "truncated";
        QTest::newRow("truncated JPEG with a thumbnail") << "truncated thumbnail.jpg"
                                                         << "truncated";
        QTest::newRow("truncated PNG") << "truncated.png"
                                       << "";
        QTest::newRow("truncated BMP") << "truncated.bmp"
                                       << "truncated";
        QTest::newRow("truncated GIF") << "truncated.gif"
                                       << "truncated";
        QTest::newRow("no decoder for the extension") << "notes.txt"
                                                      << "format";
        QTest::newRow("no extension at all") << "no extension"
                                             << "format";
        QTest::newRow("missing file") << "missing.png"
                                      << "No such file";
        QTest::newRow("a folder") << "folder.png"
                                  << "";
    }

    void failsWithTheLoadersMessage()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        const QString path = m_work.filePath(name);
        const Result<QSize> result = loadPicture(path);
        QVERIFY(!result.ok());
        QVERIFY(!result.error().isEmpty());
        QVERIFY2(result.error().contains(message, Qt::CaseInsensitive), qPrintable(result.error()));
    }

    // 36 megapixels decode to 144 MB, above Qt's default limit of 128 MB.
    void readsPhotosOfManyMegapixels()
    {
        QImage image(6000, 6000, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        const QString path = m_work.filePath(QStringLiteral("large.jpg"));
        QVERIFY(image.save(path, "JPEG"));
        image = QImage();
        const Result<QSize> result = loadPicture(path);
        QVERIFY2(result.ok(), qPrintable(result.error()));
        QCOMPARE(result.value(), QSize(6000, 6000));
    }

    void readsIconsWhenQtHasTheDecoder()
    {
        if (!QImageReader::supportedImageFormats().contains("ico")) {
            QSKIP("this Qt has no icon decoder");
        }
        const QString path = m_work.filePath(QStringLiteral("icon.ico"));
        QVERIFY(test::writePicture(path, 48, 32));
        const Result<QSize> result = loadPicture(path);
        QVERIFY2(result.ok(), qPrintable(result.error()));
        QCOMPARE(result.value(), QSize(48, 32));
    }

    // A Linux name need not be UTF-8; the list must still read the picture it names.
    void aNameThatIsNotUtf8Loads()
    {
        const std::filesystem::path raw = toFsPath(m_work.path()) / std::string("\xFF\xFE.jpg");
        std::filesystem::copy_file(toFsPath(m_work.filePath(QStringLiteral("good.jpg"))), raw);
        const Result<QSize> result = loadPicture(fromFsPath(raw));
        std::filesystem::remove(raw);
        QVERIFY2(result.ok(), qPrintable(result.error()));
        QCOMPARE(result.value(), QSize(33, 21));
    }

    // Opening a pipe for reading would wait for a writer that never comes.
    void aPipeFailsInsteadOfWaiting()
    {
        const QString path = m_work.filePath(QStringLiteral("pipe.png"));
        if (QProcess::execute(QStringLiteral("mkfifo"), {path}) != 0) {
            QSKIP("no mkfifo here");
        }
        const Result<QSize> result = loadPicture(path);
        QVERIFY(!result.ok());
        QVERIFY(!result.error().isEmpty());
    }

    // Pictures are decoded from the file as it is read: a sparse gigabyte behind a picture's
    // header fails at its first damaged chunk, and the memory taken is the decoder's, not the
    // file's, however many such files are loaded at once.
    void sparseFilesAreNotReadWhole()
    {
        QStringList paths;
        for (const char *format : {"PNG", "JPEG"}) {
            paths.append(fixture(QStringLiteral("sparse.") + QString::fromLatin1(format).toLower(),
                                 encoded(33, 21, format).left(40)));
            QVERIFY(QFile::resize(paths.last(), qint64(1) << 30));
        }
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        QList<QFuture<Result<QSize>>> loads;
        for (int copy = 0; copy < 3; ++copy) {
            for (const QString &path : paths) {
                loads.append(QtConcurrent::run(loadPicture, path));
            }
        }
        for (QFuture<Result<QSize>> &load : loads) {
            QVERIFY(!load.result().ok());
        }
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        // ru_maxrss is in kilobytes; reading one file whole would add a gigabyte.
        QVERIFY2(after.ru_maxrss - before.ru_maxrss < 200 * 1024,
                 qPrintable(QString::number(after.ru_maxrss - before.ru_maxrss)));
    }
};

INKVALE_TEST_MAIN(ImageLoaderTest)
#include "imageloader_test.moc"
