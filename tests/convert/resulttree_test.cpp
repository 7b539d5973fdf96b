#include "convert/batchcontroller.h"
#include "convert/batchsources.h"
#include "convert/namepattern.h"
#include "convert/picturetree.h"
#include "support/faketool.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

using namespace inkvale;

namespace {

class TreeSources : public BatchSources
{
public:
    QList<TreePicture> pictures;
    QString destinationText;
    QString effectText = QStringLiteral("Cartoon");
    OutputOptions options;

    int rowCount() const override { return static_cast<int>(pictures.size()); }
    QString rowPath(int row) const override { return pictures.at(row).path; }
    QString rowSubfolder(int row) const override { return pictures.at(row).subfolder; }
    QString destination() const override { return destinationText; }
    QString format() const override { return QStringLiteral("PNG"); }
    QString effect() const override { return effectText; }
    OutputOptions outputOptions() const override { return options; }
};

// Every file below `folder`, relative to it, sorted.
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files.append(QDir(folder).relativeFilePath(it.next()));
    }
    files.sort();
    return files;
}

} // namespace

// Folders taken as trees, and the names their results get.
class ResultTreeTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;

    QString make(const QString &relative)
    {
        const QString path = QDir(m_root.path()).filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        return test::writePicture(path, 8, 6) ? path : QString();
    }

private slots:
    // photos/                 a.jpg, b.png
    // photos/2024/June/       beach.jpg, beach.png (both want beach.png)
    // photos/2024/.thumbs/    small.png (hidden: not entered)
    // photos/2024/up -> photos, photos/again -> photos/2024 (links back up or round: not entered)
    void initTestCase()
    {
        for (const char *file : {"photos/a.jpg", "photos/b.png", "photos/2024/June/beach.jpg",
                                 "photos/2024/June/beach.png", "photos/2024/.thumbs/small.png",
                                 "photos/.hidden.png"}) {
            QVERIFY(!make(QString::fromLatin1(file)).isEmpty());
        }
        const QDir root(m_root.path());
        QVERIFY(QFile::link(root.filePath("photos"), root.filePath("photos/2024/up")));
        QVERIFY(QFile::link(root.filePath("photos/2024"), root.filePath("photos/again")));
    }

    void treeIsScannedOnceWithoutHiddenFolders()
    {
        const QString top = QDir(m_root.path()).filePath("photos");
        QStringList found;
        for (const TreePicture &picture : picturesInTree(top)) {
            found.append(QDir(top).relativeFilePath(picture.path) + " in '" + picture.subfolder +
                         "'");
        }
        // Hidden files are pictures like any other; only hidden folders are passed over.
        QCOMPARE(found, (QStringList{".hidden.png in ''", "a.jpg in ''", "b.png in ''",
                                     "2024/June/beach.jpg in '2024/June'",
                                     "2024/June/beach.png in '2024/June'"}));
    }

    void missingFolderSaysWhy()
    {
        QString error;
        QVERIFY(picturesInTree(QDir(m_root.path()).filePath("nowhere"), &error).isEmpty());
        QVERIFY(!error.isEmpty());
    }

    // The results mirror the tree; names clash and take " (n)" within their own folder only.
    void resultsMirrorTheTree()
    {
        const test::FakeTool tool(test::FakeTool::Behaviour::Succeed);
        QTemporaryDir destination;
        QVERIFY(QDir().mkpath(destination.filePath("2024/June")));
        QVERIFY(test::writePicture(destination.filePath("2024/June/beach.png"), 2, 2));
        TreeSources sources;
        sources.pictures = picturesInTree(QDir(m_root.path()).filePath("photos"));
        sources.destinationText = destination.path();

        const BatchResult result = convertBatch(sources, tool.location());

        QCOMPARE(result.failures.size(), 0);
        QCOMPARE(filesBelow(destination.path()),
                 (QStringList{".hidden.png", "2024/June/beach (2).png", "2024/June/beach (3).png",
                              "2024/June/beach.png", "a.png", "b.png"}));
    }

    void namePattern_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QString>("expected");
        QTest::newRow("default is the input's name") << "{name}"
                                                     << "Cartoon"
                                                     << "photo";
        QTest::newRow("all three") << "{n}-{name}-{effect}"
                                   << "Pen Drawing"
                                   << "7-photo-Pen Drawing";
        QTest::newRow("no placeholder") << "cartoon"
                                        << "Cartoon"
                                        << "cartoon";
        QTest::newRow("unknown braces stay") << "{name}{size}"
                                             << "Cartoon"
                                             << "photo{size}";
        QTest::newRow("separators cannot lead elsewhere") << "../{name}/x\\y"
                                                          << "Cartoon"
                                                          << ".._photo_x_y";
        QTest::newRow("characters no system takes") << "a:b*c?\"<>|\t{name}"
                                                    << "Cartoon"
                                                    << "a_b_c______photo";
    }

    void namePattern()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, effect);
        QFETCH(QString, expected);
        QCOMPARE(NamePattern(pattern).baseName(QStringLiteral("photo"), effect, 7), expected);
    }

    void emptyPatternIsRefused()
    {
        QVERIFY(!NamePattern::problem(QString()).isEmpty());
        QVERIFY(!NamePattern::problem(QStringLiteral("  ")).isEmpty());
        QCOMPARE(NamePattern::problem(QStringLiteral("{name}")), QString());
    }

    // The " (n)" rule applies to whatever the pattern gives, and {n} counts in list order.
    void patternNamesTheBatch_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("one name for all")
            << "cartoon" << QStringList{"cartoon (2).png", "cartoon (3).png", "cartoon.png"};
        QTest::newRow("numbered") << "{effect} {n}"
                                  << QStringList{"Cartoon 1.png", "Cartoon 2.png", "Cartoon 3.png"};
    }

    void patternNamesTheBatch()
    {
        QFETCH(QString, pattern);
        QFETCH(QStringList, expected);
        const test::FakeTool tool(test::FakeTool::Behaviour::Succeed);
        QTemporaryDir destination;
        TreeSources sources;
        for (const char *file : {"photos/a.jpg", "photos/b.png", "photos/2024/June/beach.jpg"}) {
            sources.pictures.append({QDir(m_root.path()).filePath(file), {}});
        }
        sources.destinationText = destination.path();
        sources.options.namePattern = pattern;

        QCOMPARE(convertBatch(sources, tool.location()).converted, 3);
        QCOMPARE(filesBelow(destination.path()), expected);
    }
};

INKVALE_TEST_MAIN(ResultTreeTest)
#include "resulttree_test.moc"
