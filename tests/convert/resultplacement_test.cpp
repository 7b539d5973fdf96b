#include "convert/resultplacement.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>

using namespace inkvale;

// How the tool's PNG becomes the output file.
class ResultPlacementTest : public QObject
{
    Q_OBJECT

private:
    static QByteArray contentOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void formatFollowsTheExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format"); // what the content decodes as
        QTest::newRow("png is moved") << "out.png" << QByteArray("png");
        QTest::newRow("jpg") << "out.jpg" << QByteArray("jpeg");
        QTest::newRow("upper-case JPG") << "OUT.JPG" << QByteArray("jpeg");
        QTest::newRow("bmp") << "out.bmp" << QByteArray("bmp");
        QTest::newRow("no writer for the extension") << "out.xyz" << QByteArray("png");
        QTest::newRow("no extension") << "out" << QByteArray("png");
    }

    void formatFollowsTheExtension()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        QTemporaryDir scratch;
        QTemporaryDir destination;
        const QString toolOutput = scratch.filePath(QStringLiteral("zemcartoon.png"));
        QVERIFY(test::writePicture(toolOutput, 33, 21));
        const QString output = destination.filePath(name);

        QVERIFY(placeResult(toolOutput, output, scratch.path()).ok());

        QImageReader reader(output);
        reader.setDecideFormatFromContent(true);
        QCOMPARE(reader.format(), format);
        QCOMPARE(reader.size(), QSize(33, 21));
    }

    // Neither JPEG nor BMP keeps transparency: what shows through is white.
    void transparencyBecomesWhite_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("jpg") << "clear.jpg";
        QTest::newRow("bmp") << "clear.bmp";
    }

    void transparencyBecomesWhite()
    {
        QFETCH(QString, name);
        QTemporaryDir scratch;
        const QString toolOutput = scratch.filePath(QStringLiteral("zemcartoon.png"));
        QImage clear(8, 8, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        QVERIFY(clear.save(toolOutput));
        const QString output = scratch.filePath(name);
        QVERIFY(placeResult(toolOutput, output, scratch.path()).ok());
        QVERIFY(qGray(QImage(output).pixel(4, 4)) > 250);
    }

    // A picture the tool left cut off (no room left, killed while writing) is not delivered
    // in any format.
    void cutOffResultIsNotDelivered_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("share"); // of the picture's bytes that were written
        for (const char *name : {"out.png", "out.jpg", "out.bmp"}) {
            QTest::addRow("%s, half", name) << name << 0.5;
            QTest::addRow("%s, all but the end chunk", name) << name << -12.0;
        }
        QTest::newRow("empty") << "out.png" << 0.0;
    }

    void cutOffResultIsNotDelivered()
    {
        QFETCH(QString, name);
        QFETCH(double, share);
        QTemporaryDir scratch;
        const QString whole = scratch.filePath(QStringLiteral("whole.png"));
        QVERIFY(test::writePicture(whole, 60, 40));
        const QByteArray bytes = contentOf(whole);
        const qsizetype kept =
            share < 0 ? bytes.size() + qsizetype(share) : qsizetype(bytes.size() * share);
        const QString toolOutput = scratch.filePath(QStringLiteral("zemcartoon.png"));
        QVERIFY(test::writeFile(toolOutput, bytes.left(kept)));
        const QString output = scratch.filePath(name);

        QCOMPARE(placeResult(toolOutput, output, scratch.path()).error(),
                 QStringLiteral("The tool's picture is incomplete"));
        QVERIFY(!QFileInfo::exists(output));
    }

    void existingFileIsNeverReplaced()
    {
        QTemporaryDir scratch;
        const QString toolOutput = scratch.filePath(QStringLiteral("zemcartoon.png"));
        QVERIFY(test::writePicture(toolOutput, 10, 10));
        for (const QString name : {"taken.png", "taken.jpg"}) {
            const QString output = scratch.filePath(name);
            QVERIFY(test::writeFile(output, "the user's file"));

            const QString error = placeResult(toolOutput, output, scratch.path()).error();
            QVERIFY2(error.startsWith(QStringLiteral("Unable to save ") +
                                      QDir::toNativeSeparators(output)),
                     qPrintable(error));
            QCOMPARE(contentOf(output), QByteArray("the user's file"));
        }
    }

    void unreadableResult()
    {
        QTemporaryDir scratch;
        const QString toolOutput = scratch.filePath(QStringLiteral("zemcartoon.png"));
        QVERIFY(test::writeFile(toolOutput, "not a picture"));
        const QString output = scratch.filePath(QStringLiteral("broken.bmp"));
        QCOMPARE(placeResult(toolOutput, output, scratch.path()).error(),
                 QStringLiteral("The tool's picture is incomplete"));
        QVERIFY(!QFileInfo::exists(output));
    }
};

INKVALE_TEST_MAIN(ResultPlacementTest)
#include "resultplacement_test.moc"
