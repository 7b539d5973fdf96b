#include "convert/imagefiles.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace inkvale;

class ImageFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void folderOrderIsTheFileManagers_data();
    void folderOrderIsTheFileManagers();
};

void ImageFilesTest::folderOrderIsTheFileManagers_data()
{
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("case does not count")
        << QStringList{QStringLiteral("a.png"), QStringLiteral("B.png"), QStringLiteral("c.png"),
                       QStringLiteral("D.png")};
    QTest::newRow("numbers by value")
        << QStringList{QStringLiteral("img1.jpg"), QStringLiteral("img2.jpg"),
                       QStringLiteral("img10.jpg"), QStringLiteral("img100.jpg")};
    QTest::newRow("numbers within case-mixed names")
        << QStringList{QStringLiteral("Photo 9.png"), QStringLiteral("photo 10.png"),
                       QStringLiteral("PHOTO 11.png"), QStringLiteral("photo b.png")};
    QTest::newRow("extensions in any case")
        << QStringList{QStringLiteral("x1.JPG"), QStringLiteral("x2.png"), QStringLiteral("X3.Tif"),
                       QStringLiteral("x20.gif")};
    QTest::newRow("names equal but for case keep one order")
        << QStringList{QStringLiteral("SAME.png"), QStringLiteral("same.png")};
}

void ImageFilesTest::folderOrderIsTheFileManagers()
{
    QFETCH(QStringList, expected);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QDir dir(folder.path());
    // Created in reverse, so that the order on disk gives nothing away.
    for (auto name = expected.crbegin(); name != expected.crend(); ++name) {
        QFile file(dir.filePath(*name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    if (dir.entryList(QDir::Files).size() < expected.size()) {
        QSKIP("This file system holds names equal but for case as one file");
    }
    // Not a picture: never listed, wherever it would sort.
    QFile other(dir.filePath(QStringLiteral("img5.txt")));
    QVERIFY(other.open(QIODevice::WriteOnly));

    QStringList paths;
    for (const QString &name : expected) {
        paths.append(dir.filePath(name));
    }
    QCOMPARE(imageFilesInFolder(folder.path()), paths);
}

INKVALE_TEST_MAIN(ImageFilesTest)
#include "imagefiles_test.moc"
