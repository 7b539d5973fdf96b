#include "support/faketool.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

using namespace inkvale;
using test::FakeTool;

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs an inkvale-convert; `program` defaults to the built one beside the real tool.
Run runConvert(const QStringList &arguments,
               const QString &program = QStringLiteral(INKVALE_BIN_DIR "/inkvale-convert"))
{
    QProcess process;
    process.start(program, arguments);
    Run run;
    if (!process.waitForFinished(120000)) {
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// A copy of the program in `folder`, so that it finds the tool that lies there.
QString copyProgramTo(const QString &folder)
{
    const QString copy = folder + QStringLiteral("/inkvale-convert");
    QFile::copy(QStringLiteral(INKVALE_BIN_DIR "/inkvale-convert"), copy);
    return copy;
}

} // namespace

class ConvertCliTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_work;

    QString picture(const QString &relative, int width = 40, int height = 30)
    {
        const QString path = m_work.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        test::writePicture(path, width, height);
        return path;
    }

private slots:
    void convertsAndNeverOverwrites()
    {
        const QString a = picture(QStringLiteral("real/a.png"));
        const QString b = picture(QStringLiteral("real/b.jpg"));
        const QString destination = m_work.filePath(QStringLiteral("real-out"));
        const QStringList arguments{"--format", "jpg", "--destination", destination, a, b};

        const Run first = runConvert(arguments);
        QCOMPARE(first.exitCode, 0);
        QCOMPARE(first.out,
                 QStringLiteral("Processing %1...\nProcessing %2...\nCompleted\n").arg(a, b));
        const Run second = runConvert(arguments);
        QCOMPARE(second.exitCode, 0);
        QCOMPARE(QDir(destination).entryList(QDir::Files, QDir::Name),
                 (QStringList{"a (2).jpg", "a.jpg", "b (2).jpg", "b.jpg"}));
    }

    // On a tool without cl_comic, Inkvale's own recipe converts, and the list says so.
    void effectTheToolLacksRunsTheRecipe()
    {
        const QString list = runConvert({"--list-effects"}).out;
        if (!list.contains(QStringLiteral("Comicbook: available (Inkvale's own recipe is used: "
                                          "the installed G'MIC "))) {
            QVERIFY2(list.contains(QStringLiteral("Comicbook: available\n")), qPrintable(list));
            QSKIP("this G'MIC has the effect");
        }
        QVERIFY2(list.contains(QStringLiteral(" has no cl_lineart)\n")), qPrintable(list));
        const QString input = picture(QStringLiteral("comic/in.png"));
        const QString destination = m_work.filePath(QStringLiteral("comic-out"));
        const QString log = m_work.filePath(QStringLiteral("comic.log"));
        const Run run = runConvert(
            {"--effect", "Comicbook", "--log", log, "--destination", destination, input});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QDir(destination).entryList(QDir::Files), QStringList{"in.png"});
        QFile logFile(log);
        QVERIFY(logFile.open(QIODevice::ReadOnly));
        const QString logged = QString::fromUtf8(logFile.readAll());
        QVERIFY2(logged.contains(
                     QStringLiteral("gmic -m \"" INKVALE_BIN_DIR "/inkvale-recipes.gmic\" \"")),
                 qPrintable(logged));
        QVERIFY2(logged.contains(QStringLiteral("inkvale_comicbook -o \"")), qPrintable(logged));
    }

    void listEffects()
    {
        const Run run = runConvert({"--list-effects"});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 6);
        QVERIFY(lines[0].startsWith(QStringLiteral("G'MIC ")));
        QCOMPARE(lines[1], QStringLiteral("Cartoon: available"));
        QCOMPARE(lines[3], QStringLiteral("Cutout: available"));
        QCOMPARE(lines[5], QStringLiteral("Pen Drawing: available"));
    }

    void commandsThatCannotRun_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no paths") << QStringList{"--destination", "out"} << "Missing PATH";
        QTest::newRow("no destination") << QStringList{"x.png"} << "Missing --destination";
        QTest::newRow("effect names are case-sensitive")
            << QStringList{"--effect", "cartoon", "--destination", "out", "x.png"}
            << "Unknown effect \"cartoon\"";
        QTest::newRow("unknown format")
            << QStringList{"--format", "GIF", "--destination", "out", "x.png"}
            << "Unknown format \"GIF\"";
        QTest::newRow("empty destination")
            << QStringList{"--destination", "", "x.png"} << "Unable to create directory.\n";
        QTest::newRow("unknown option") << QStringList{"--colour", "red"} << "colour";
    }

    void commandsThatCannotRun()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run run = runConvert(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
    }

    void missingTool()
    {
        QTemporaryDir program;
        const Run run = runConvert({"--destination", m_work.filePath("never"), "x.png"},
                                   copyProgramTo(program.path()));
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.err, QStringLiteral("File not found!\n%1/gmic/gmic\n").arg(program.path()));
        QVERIFY(!QFileInfo::exists(m_work.filePath("never")));
    }

    // A termination request stops the running tool and leaves nothing half done.
    void interruptionStopsCleanly()
    {
        const FakeTool tool(FakeTool::Behaviour::Slow);
        const QString destination = m_work.filePath(QStringLiteral("interrupted"));
        QProcess process;
        process.start(copyProgramTo(tool.programFolder()),
                      {"--destination", destination, picture(QStringLiteral("slow.png"))});
        const QString pidFile = tool.programFolder() + QStringLiteral("/gmic/pid");
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(pidFile).size() > 0, 10000);
        QFile file(pidFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString toolProcess =
            QStringLiteral("/proc/") + QString::fromLatin1(file.readAll().trimmed());

        process.terminate();
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 130);
        QVERIFY(QString::fromUtf8(process.readAllStandardOutput())
                    .endsWith(QStringLiteral("\nStopped\n")));
        QTRY_VERIFY(!QFileInfo::exists(toolProcess));
        QVERIFY(QDir(destination).isEmpty());
        QVERIFY(
            QDir(QDir::tempPath()).entryList({QStringLiteral("inkvale-*")}, QDir::Dirs).isEmpty());
    }

    void foldersGiveTheirPicturesSortedByName()
    {
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        const QString folder = m_work.filePath(QStringLiteral("folder"));
        for (const QString name : {"b.JPG", "a.png", "c.TIFF", "notes.txt", "sub/d.png", "e.gif"}) {
            picture(QStringLiteral("folder/") + name, 8, 8);
        }
        const QString single = picture(QStringLiteral("single.bmp"), 8, 8);
        const QString log = m_work.filePath(QStringLiteral("folder.log"));
        const Run run = runConvert(
            {"--destination", m_work.filePath("folder-out"), "--log", log, folder, single},
            copyProgramTo(tool.programFolder()));
        QCOMPARE(run.exitCode, 0);
        QStringList expected;
        for (const QString name : {"a.png", "b.JPG", "c.TIFF", "e.gif"}) {
            expected << "Processing " + folder + "/" + name + "...";
        }
        expected << "Processing " + single + "..."
                 << "Completed";
        QCOMPARE(run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), expected);

        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QCOMPARE(text.count(QStringLiteral("Commencing processing...")), 5);
        QCOMPARE(text.count(QStringLiteral("fake tool: writing")), 5);
    }
};

INKVALE_TEST_MAIN(ConvertCliTest)
#include "convertcli_test.moc"
