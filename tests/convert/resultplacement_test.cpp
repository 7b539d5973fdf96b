#include "convert/resultplacement.h"
#include "support/testenvironment.h"

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

        QCOMPARE(placeResult(toolOutput, output, scratch.path()), QString());

        QImageReader reader(output);
        reader.setDecideFormatFromContent(true);
        QCOMPARE(reader.format(), format);
        QCOMPARE(reader.size(), QSize(33, 21));
    }

    void transparencyBecomesWhiteInJpeg()
    {
        QTemporaryDir scratch;
        const QString toolOutput = scratch.filePath(QStringLiteral("zemcartoon.png"));
        QImage clear(8, 8, QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        QVERIFY(clear.save(toolOutput));
        const QString output = scratch.filePath(QStringLiteral("clear.jpg"));
        QCOMPARE(placeResult(toolOutput, output, scratch.path()), QString());
        QVERIFY(qGray(QImage(output).pixel(4, 4)) > 250);
    }

    void existingFileIsNeverReplaced()
    {
        QTemporaryDir scratch;
        const QString toolOutput = scratch.filePath(QStringLiteral("zemcartoon.png"));
        QVERIFY(test::writePicture(toolOutput, 10, 10));
        for (const QString name : {"taken.png", "taken.jpg"}) {
            const QString output = scratch.filePath(name);
            QFile existing(output);
            QVERIFY(existing.open(QIODevice::WriteOnly));
            existing.write("the user's file");
            existing.close();

            const QString error = placeResult(toolOutput, output, scratch.path());
            QVERIFY2(error.startsWith(QStringLiteral("Unable to save ") + output),
                     qPrintable(error));
            QCOMPARE(contentOf(output), QByteArray("the user's file"));
        }
    }

    void unreadableResult()
    {
        QTemporaryDir scratch;
        const QString toolOutput = scratch.filePath(QStringLiteral("zemcartoon.png"));
        QFile broken(toolOutput);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a picture");
        broken.close();
        const QString output = scratch.filePath(QStringLiteral("broken.bmp"));
        QVERIFY(!placeResult(toolOutput, output, scratch.path()).isEmpty());
        QVERIFY(!QFileInfo::exists(output));
    }
};

INKVALE_TEST_MAIN(ResultPlacementTest)
#include "resultplacement_test.moc"
