#include "base/fspath.h"
#include "convert/filenames.h"
#include "platform/filenamelimit.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace inkvale;

class FileNamesTest : public QObject
{
    Q_OBJECT

private:
    // Creates the given entries below `root`: "name/" is a folder, "@name" a dangling link.
    static void populate(const QString &root, const QStringList &entries)
    {
        for (const QString &entry : entries) {
            if (entry.endsWith(QLatin1Char('/'))) {
                QDir(root).mkpath(entry);
            } else if (entry.startsWith(QLatin1Char('@'))) {
                QFile::link(root + QStringLiteral("/nowhere"),
                            root + QLatin1Char('/') + entry.mid(1));
            } else {
                QDir(root).mkpath(QFileInfo(root + QLatin1Char('/') + entry).path());
                QFile file(root + QLatin1Char('/') + entry);
                QVERIFY(file.open(QIODevice::WriteOnly));
            }
        }
    }

private slots:
    void freeName_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");

        QTest::newRow("free") << QStringList{} << "photo.png"
                              << "photo.png";
        QTest::newRow("taken once") << QStringList{"photo.png"} << "photo.png"
                                    << "photo (2).png";
        QTest::newRow("numbers follow on") << QStringList{"a.png", "a (2).png"} << "a.png"
                                           << "a (3).png";
        QTest::newRow("a gap is not filled first") << QStringList{"a.png", "a (3).png"} << "a.png"
                                                   << "a (2).png";
        QTest::newRow("no extension") << QStringList{"report"} << "report"
                                      << "report (2)";
        QTest::newRow("only the last dot splits")
            << QStringList{"archive.tar.gz"} << "archive.tar.gz"
            << "archive.tar (2).gz";
        QTest::newRow("dot in the folder, none in the name")
            << QStringList{"my.pics/scan"} << "my.pics/scan"
            << "my.pics/scan (2)";
        QTest::newRow("numbers never nest")
            << QStringList{"b (2).png", "b (2) (2).png"} << "b (2).png"
            << "b (2) (3).png";
        // Placing a result onto a folder or over a link would fail or follow the link.
        QTest::newRow("taken by a folder") << QStringList{"c.png/"} << "c.png"
                                           << "c (2).png";
        QTest::newRow("taken by a dangling link") << QStringList{"@d.png"} << "d.png"
                                                  << "d (2).png";
        // The file system takes 255 bytes: a long name is shortened so that its number fits.
        const QString a251(251, QLatin1Char('a'));
        QTest::newRow("longest name, free") << QStringList{} << a251 + ".png" << a251 + ".png";
        QTest::newRow("longest name, taken")
            << QStringList{a251 + ".png"} << a251 + ".png" << a251.left(247) + " (2).png";
        QTest::newRow("longest name, taken twice")
            << QStringList{a251 + ".png", a251.left(247) + " (2).png"} << a251 + ".png"
            << a251.left(247) + " (3).png";
        QTest::newRow("too long even when free")
            << QStringList{} << QString(254, QLatin1Char('b')) + ".png"
            << QString(251, QLatin1Char('b')) + ".png";
        // Where names are counted in UTF-16 units (Windows) the letter is one unit, as in the
        // rows above.
        if (platform::fileNameLength(toFsPath(QStringLiteral("\u00e9"))) == 2) {
            const QString accented(125, QChar(0xe9));
            QTest::newRow("two-byte letters are never cut")
                << QStringList{accented + ".png"} << accented + ".png"
                << accented.left(123) + " (2).png";
        }
    }

    // Cuts only between characters as shown: neither inside a letter's bytes, nor between a
    // letter and its accent, nor inside a pair of UTF-16 units.
    // The limit falls inside the character after what is kept, `cutInside`, in the units the
    // system counts (bytes here, UTF-16 code units on Windows), so a cut that splits a letter,
    // its accent or a surrogate pair would fit and show.
    void fittedNames_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("cutInside");
        QTest::newRow("fits") << "photo"
                              << ".png"
                              << "photo.png"
                              << "";
        QTest::newRow("ascii") << "photo"
                               << " (2).png"
                               << "pho (2).png"
                               << "t";
        QTest::newRow("two-byte letter") << "a\u00e9\u00e9"
                                         << ".x"
                                         << "a\u00e9.x"
                                         << "\u00e9";
        QTest::newRow("letter with a combining accent") << "ae\u0301e\u0301"
                                                        << ".x"
                                                        << "ae\u0301.x"
                                                        << "e\u0301";
        QTest::newRow("character beyond the first plane")
            << QStringLiteral("a\U0001F600\U0001F600") << ".x" << QStringLiteral("a\U0001F600.x")
            << QStringLiteral("\U0001F600");
        QTest::newRow("nothing of the base fits") << "\u00e9"
                                                  << ".png"
                                                  << ".png"
                                                  << "\u00e9";
    }

    void fittedNames()
    {
        QFETCH(QString, base);
        QFETCH(QString, ending);
        QFETCH(QString, expected);
        QFETCH(QString, cutInside);
        const auto length = [](const QString &name) {
            return name.isEmpty() ? std::size_t{0} : platform::fileNameLength(toFsPath(name));
        };
        const std::size_t limit =
            length(expected) + std::max<std::size_t>(length(cutInside), 1) - 1;
        QCOMPARE(fittedName(base, ending, limit), expected);
    }

    void freeName()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QTemporaryDir root;
        populate(root.path(), existing);
        QCOMPARE(findFilenameThatDoesNotExist(root.filePath(name)), root.filePath(expected));
    }

    void outputName_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("destination"); // below the test folder, "" is the folder
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("expected");

        QTest::newRow("plain") << QStringList{} << "out"
                               << "in/photo.jpg"
                               << "PNG"
                               << "out/photo.png";
        QTest::newRow("trailing separator") << QStringList{} << "out/"
                                            << "in/photo.jpg"
                                            << "PNG"
                                            << "out/photo.png";
        QTest::newRow("format in lower case") << QStringList{} << "out"
                                              << "in/photo.png"
                                              << "JPG"
                                              << "out/photo.jpg";
        QTest::newRow("same base name from another folder") << QStringList{"out/photo.png"} << "out"
                                                            << "other/photo.bmp"
                                                            << "PNG"
                                                            << "out/photo (2).png";
        QTest::newRow("last extension only") << QStringList{} << "out"
                                             << "in/archive.tar.gz"
                                             << "BMP"
                                             << "out/archive.tar.bmp";
        QTest::newRow("input lies in the destination") << QStringList{"out/photo.png"} << "out"
                                                       << "out/photo.png"
                                                       << "PNG"
                                                       << "out/photo (2).png";
        QTest::newRow("input without extension") << QStringList{} << "out"
                                                 << "in/scan"
                                                 << "PNG"
                                                 << "out/scan.png";
    }

    void outputName()
    {
        QFETCH(QStringList, existing);
        QFETCH(QString, destination);
        QFETCH(QString, input);
        QFETCH(QString, format);
        QFETCH(QString, expected);
        QTemporaryDir root;
        populate(root.path(), existing);
        // The name is joined to the folder with the system's separator.
        QCOMPARE(QDir::fromNativeSeparators(
                     batchOutputName(root.filePath(destination), root.filePath(input), format)),
                 root.filePath(expected));
    }
};

INKVALE_TEST_MAIN(FileNamesTest)
#include "filenames_test.moc"
