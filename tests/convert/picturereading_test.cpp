#include "convert/pictureformats.h"
#include "convert/picturereading.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

using namespace inkvale;

class PictureReadingTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        // Content decides, not the name: a PNG named as a JPEG, text named as a PNG.
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(m_folder.filePath(QStringLiteral("picture.jpg")), "png"));
        QVERIFY(test::writeFile(m_folder.filePath(QStringLiteral("notes.png")), "just words\n"));
        QVERIFY(QDir(m_folder.path()).mkdir(QStringLiteral("folder.png")));
    }

    void openPictureGivesTheFormatOfTheContent_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("reader");
        QTest::addColumn<QString>("error");
        QTest::newRow("picture") << "picture.jpg" << QByteArray("png") << QString();
        QTest::newRow("no picture") << "notes.png" << QByteArray()
                                    << QStringLiteral("Not a picture: the file holds no AVIF, BMP, "
                                                      "GIF, HEIC, JPEG, PNG, TIFF or WebP data");
        QTest::newRow("missing") << "missing.png" << QByteArray()
                                 << QStringLiteral("No such file or directory");
        QTest::newRow("folder") << "folder.png" << QByteArray()
                                << QStringLiteral("Not a regular file");
    }

    void openPictureGivesTheFormatOfTheContent()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, reader);
        QFETCH(QString, error);
        QFile file;
        const Result<const PictureFormat *> opened = openPicture(m_folder.filePath(name), file);
        QCOMPARE(opened.error(), error);
        QCOMPARE(opened.ok(), error.isEmpty());
        if (opened.ok()) {
            QCOMPARE(opened.value()->reader, reader);
            // The caller reads on from the picture's start.
            QVERIFY(file.isOpen());
            QCOMPARE(file.pos(), 0);
        } else {
            QVERIFY(!file.isOpen());
        }
    }

private:
    QTemporaryDir m_folder;
};

INKVALE_TEST_MAIN(PictureReadingTest)
#include "picturereading_test.moc"
