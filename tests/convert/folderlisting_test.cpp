#include "base/fspath.h"
#include "convert/imagefiles.h"
#include "support/testenvironment.h"

#include <filesystem>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>

using namespace inkvale;

class FolderListingTest : public QObject
{
    Q_OBJECT

private slots:
    // A folder gives every entry with a picture's extension that is no folder: pipes and
    // links that lead nowhere too (the conversion reports them), and names that are not
    // UTF-8 (Qt's own listing would leave them out without a word).
    void folderGivesEveryEntryButFolders()
    {
        QTemporaryDir root;
        const QDir folder(root.path());
        for (const QString name : {"b.png", "a.JPG", ".hidden.gif", "notes.txt"}) {
            QVERIFY(test::writePicture(folder.filePath(name), 4, 4));
        }
        QVERIFY(folder.mkdir(QStringLiteral("folder.jpg")));
        QVERIFY(folder.mkpath(QStringLiteral("sub")));
        QVERIFY(test::writePicture(folder.filePath(QStringLiteral("sub/deeper.png")), 4, 4));
        QVERIFY(QFile::link(folder.filePath(QStringLiteral("sub")),
                            folder.filePath(QStringLiteral("to-folder.tif"))));
        QVERIFY(QFile::link(folder.filePath(QStringLiteral("gone.png")),
                            folder.filePath(QStringLiteral("dangling.png"))));
        QCOMPARE(::mkfifo(QFile::encodeName(folder.filePath(QStringLiteral("pipe.jpeg"))), 0600),
                 0);
        QVERIFY(std::filesystem::copy_file(toFsPath(folder.filePath(QStringLiteral("b.png"))),
                                           toFsPath(root.path()) / std::string("\xFF.bmp")));

        const QStringList files = imageFilesInFolder(root.path());

        QStringList expected;
        for (const QString name : {".hidden.gif", "a.JPG", "b.png", "dangling.png", "pipe.jpeg"}) {
            expected.append(folder.filePath(name));
        }
        expected.append(folder.filePath(QString::fromUtf16(u"\xDCFF.bmp")));
        // In the file manager's order, which imagefiles_test checks.
        QStringList sortedFiles = files;
        sortedFiles.sort();
        expected.sort();
        QCOMPARE(sortedFiles, expected);
        QVERIFY(std::filesystem::is_regular_file(toFsPath(expected.constLast())));
    }

    void unreadableFolderSaysWhy_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::newRow("missing") << false;
        QTest::newRow("no permission to list") << true;
    }

    void unreadableFolderSaysWhy()
    {
        QFETCH(bool, exists);
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("folder"));
        if (exists) {
            QVERIFY(QDir().mkdir(folder));
            QVERIFY(test::writePicture(folder + QStringLiteral("/a.png"), 4, 4));
            QVERIFY(QFile::setPermissions(folder, QFile::WriteOwner | QFile::ExeOwner));
            if (QDir(folder).isReadable()) {
                QSKIP("running with rights that read any folder");
            }
        }
        QString error;
        QVERIFY(imageFilesInFolder(folder, &error).isEmpty());
        QVERIFY(!error.isEmpty());
        if (exists) {
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }
};

INKVALE_TEST_MAIN(FolderListingTest)
#include "folderlisting_test.moc"
