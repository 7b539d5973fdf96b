#include "support/faketool.h"
#include "support/picturefixtures.h"
#include "support/testenvironment.h"

#include <fcntl.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

using namespace inkvale;
using test::FakeTool;

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

// What the started process did; an exit code of -1 when it did not end in time.
Run finishedRun(QProcess &process)
{
    Run run;
    if (!process.waitForFinished(120000)) {
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Runs an inkvale-convert; `program` defaults to the built one beside the real tool.
Run runConvert(const QStringList &arguments,
               const QString &program = QStringLiteral(INKVALE_BIN_DIR "/inkvale-convert"))
{
    QProcess process;
    process.start(program, arguments);
    return finishedRun(process);
}

// Runs an inkvale-convert whose last argument is `rawPath`, bytes that need not be UTF-8 (as
// a shell passes them; Qt would pass them as text).
Run runConvertWithRawPath(const QStringList &arguments, const QByteArray &rawPath,
                          const QString &program)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    QString escaped;
    for (const char byte : rawPath) {
        escaped +=
            QStringLiteral("\\%1").arg(static_cast<unsigned char>(byte), 3, 8, QLatin1Char('0'));
    }
    environment.insert(QStringLiteral("RAW_PATH"), escaped);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("/bin/sh"),
                  QStringList{"-c", "exec \"$@\" \"$(printf \"$RAW_PATH\")\"", "sh", program} +
                      arguments);
    return finishedRun(process);
}

// The program run on a pseudo-terminal of its own (by Python's pty module), as a person at a
// terminal starts it; the transcript holds what it wrote to both streams.
Run runOnTerminal(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(INKVALE_PYTHON),
                  QStringList{"-c",
                              "import os, pty, sys\n"
                              "status = pty.spawn(sys.argv[1:])\n"
                              "sys.exit(os.waitstatus_to_exitcode(status))",
                              program} +
                      arguments);
    process.closeWriteChannel();
    Run run;
    if (!process.waitForFinished(120000)) {
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
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
        QTest::newRow("unknown option")
            << QStringList{"--colour", "red"} << "Unknown option 'colour'.";
        QTest::newRow("missing value")
            << QStringList{"x.png", "--destination"} << "Missing value after '--destination'.";
        const QString badJobs =
            QStringLiteral("Invalid --jobs \"%1\"; give a whole number of at least 1.");
        for (const char *jobs : {"0", "-2", "two", "1.5", ""}) {
            QTest::addRow("--jobs \"%s\"", jobs)
                << QStringList{"--jobs", jobs, "--destination", "out", "x.png"}
                << badJobs.arg(QString::fromLatin1(jobs));
        }
        for (const char *quality : {"0", "101", "high", ""}) {
            QTest::addRow("--quality \"%s\"", quality)
                << QStringList{"--quality", quality, "--destination", "out", "x.png"}
                << QStringLiteral("Invalid --quality \"%1\"; give a whole number from 1 to 100.")
                       .arg(QString::fromLatin1(quality));
        }
        QTest::newRow("empty --name") << QStringList{"--name", "", "--destination", "out", "x.png"}
                                      << "Invalid --name: The name pattern is empty.";
        QTest::newRow("--jobs without a value")
            << QStringList{"--destination", "out", "x.png", "--jobs"}
            << "Missing value after '--jobs'.";
        QTest::newRow("unknown --effect-scale")
            << QStringList{"--effect-scale", "fitted", "--destination", "out", "x.png"}
            << "Invalid --effect-scale \"fitted\"; choose fit or exact.";
        for (const char *size : {"0", "-100", "big", "2.5"}) {
            QTest::addRow("--max-size \"%s\"", size)
                << QStringList{"--max-size", size, "--destination", "out", "x.png"}
                << QStringLiteral("Invalid --max-size \"%1\"; give a whole number of pixels of "
                                  "at least 1.")
                       .arg(QString::fromLatin1(size));
        }
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

    void helpAndVersion()
    {
        const Run help = runConvert({"--help"});
        QCOMPARE(help.exitCode, 0);
        QVERIFY2(help.out.startsWith(QStringLiteral("Usage: ")), qPrintable(help.out));
        for (const QString option :
             {"--effect", "--format", "--destination", "--log", "--jobs", "--effect-scale",
              "--max-size", "--quiet", "--list-effects", "--version"}) {
            QVERIFY2(help.out.contains(option), qPrintable(option));
        }
        QVERIFY(help.err.isEmpty());

        const Run version = runConvert({"--version"});
        QCOMPARE(version.exitCode, 0);
        QVERIFY2(QRegularExpression(QStringLiteral("^inkvale-convert \\d+\\.\\d+(\\.\\d+)*\n$"))
                     .match(version.out)
                     .hasMatch(),
                 qPrintable(version.out));
    }

    // Quiet prints the failures and nothing else; a pipe never gets the progress line.
    void quietAndPiped_data()
    {
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<bool>("failing");
        QTest::newRow("all converted") << false << false;
        QTest::newRow("quiet, all converted") << true << false;
        QTest::newRow("quiet, failures") << true << true;
    }

    void quietAndPiped()
    {
        QFETCH(bool, quiet);
        QFETCH(bool, failing);
        const FakeTool tool(failing ? FakeTool::Behaviour::Fail : FakeTool::Behaviour::Succeed);
        const QString a = picture(QStringLiteral("quiet/a.png"), 8, 8);
        const QString b = picture(QStringLiteral("quiet/b.png"), 8, 8);
        QStringList arguments{"--destination", m_work.filePath("quiet-out"), a, b};
        if (quiet) {
            arguments.prepend(QStringLiteral("--quiet"));
        }
        const Run run = runConvert(arguments, copyProgramTo(tool.programFolder()));
        QCOMPARE(run.exitCode, failing ? 1 : 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        if (!quiet) {
            QCOMPARE(run.out,
                     QStringLiteral("Processing %1...\nProcessing %2...\nCompleted\n").arg(a, b));
        } else if (!failing) {
            QCOMPARE(run.out, QString());
        } else {
            QVERIFY2(run.out.startsWith(QStringLiteral("Not converted:\n") + a + QLatin1Char('\n')),
                     qPrintable(run.out));
            QVERIFY2(run.out.contains(QLatin1Char('\n') + b + QLatin1Char('\n')),
                     qPrintable(run.out));
            QVERIFY(!run.out.contains(QStringLiteral("Processing")));
            QVERIFY(!run.out.contains(QStringLiteral("Completed")));
        }
    }

    // On a terminal the progress line is drawn, redrawn in place and taken away at the end.
    void progressOnTerminal()
    {
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        const QString a = picture(QStringLiteral("terminal/a.png"), 8, 8);
        const QString b = picture(QStringLiteral("terminal/b.png"), 8, 8);
        const Run run = runOnTerminal(copyProgramTo(tool.programFolder()),
                                      {"--destination", m_work.filePath("terminal-out"), a, b});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(QStringLiteral("\r0/2 pictures, ")), qPrintable(run.out));
        QVERIFY2(QRegularExpression(QStringLiteral("\r1/2 pictures, \\d+:\\d\\d elapsed, about "
                                                   "\\d+:\\d\\d left"))
                     .match(run.out)
                     .hasMatch(),
                 qPrintable(run.out));
        // Status lines start on a clean line, and the transcript ends with the last one.
        QVERIFY2(run.out.contains(QStringLiteral("\rProcessing ") + b), qPrintable(run.out));
        QVERIFY2(QRegularExpression(QStringLiteral("Completed\r?\n\r2/2 pictures, [^\r\n]*\r +\r$"))
                     .match(run.out)
                     .hasMatch(),
                 qPrintable(run.out));
    }

    // Several pictures at once: one line as each starts, in list order, and the summary after
    // the last.
    void jobsRunSeveralAtOnce()
    {
        const FakeTool tool(FakeTool::Behaviour::RandomDelay);
        const QString program = copyProgramTo(tool.programFolder());
        QStringList inputs;
        for (const char *name : {"one.png", "two.png", "fail.png", "four.png"}) {
            inputs.append(picture(QStringLiteral("jobs/") + name));
        }
        QVERIFY(test::markForFakeTool(inputs[2], "fail"));
        const QString destination = m_work.filePath(QStringLiteral("jobs-out"));
        const Run run =
            runConvert(QStringList{"--jobs", "3", "--destination", destination} + inputs, program);
        QCOMPARE(run.exitCode, 1);
        QString expected;
        for (const QString &input : inputs) {
            expected += QStringLiteral("Processing %1...\n").arg(input);
        }
        expected += QStringLiteral("Completed (1 failed)\n\nNot converted:\n") + inputs[2];
        QVERIFY2(run.out.startsWith(expected), qPrintable(run.out));
        QCOMPARE(QDir(destination).entryList(QDir::Files, QDir::Name),
                 (QStringList{"four.png", "one.png", "two.png"}));
    }

    // What the tool is given: the effect scaled for the picture it gets, which --max-size
    // makes smaller first; never enlarged.
    void effectScaleAndMaxSize_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("effect");
        QTest::addColumn<QSize>("output");
        // 1600x1200 is twice the effects' reference: Cartoon runs Inkvale's recipe for it,
        // scaled by 2.
        const QString parameters = QStringLiteral("2.208,181.53,28.177,0.248,2.6505,128,0,nan,nan");
        const QStringList preset{"cartoon", parameters};
        const QStringList twice{"_inkvale_cartoon", "2," + parameters};
        QTest::newRow("fit by default") << QStringList{} << twice << QSize(1600, 1200);
        QTest::newRow("exact") << QStringList{"--effect-scale", "EXACT"} << preset
                               << QSize(1600, 1200);
        QTest::newRow("scaled down to the reference")
            << QStringList{"--max-size", "800"} << preset << QSize(800, 600);
        QTest::newRow("never enlarged")
            << QStringList{"--max-size", "5000", "--effect-scale", "fit"} << twice
            << QSize(1600, 1200);
    }

    void effectScaleAndMaxSize()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, effect);
        QFETCH(QSize, output);
        const FakeTool tool(FakeTool::Behaviour::CopyInput);
        const QString program = copyProgramTo(tool.programFolder());
        const QString input = picture(QStringLiteral("scale/photo.png"), 1600, 1200);
        QTemporaryDir destination;
        const Run run = runConvert(options + QStringList{"--effect", "Cartoon", "--destination",
                                                         destination.path(), input},
                                   program);
        QCOMPARE(run.exitCode, 0);
        const QStringList arguments = tool.recordedArguments();
        QCOMPARE(arguments.mid(arguments.indexOf(effect.first()), 2), effect);
        QCOMPARE(QImage(destination.filePath(QStringLiteral("photo.png"))).size(), output);
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

    // A termination request stops the running tool, with every process it started, and
    // leaves nothing half done.
    void interruptionStopsCleanly_data()
    {
        QTest::addColumn<bool>("wrapper");
        QTest::newRow("the tool itself") << false;
        QTest::newRow("a wrapper script's child") << true;
    }

    void interruptionStopsCleanly()
    {
        QFETCH(bool, wrapper);
        const FakeTool tool(wrapper ? FakeTool::Behaviour::SlowWrapper : FakeTool::Behaviour::Slow);
        const QString destination = m_work.filePath(QStringLiteral("interrupted"));
        QProcess process;
        process.start(copyProgramTo(tool.programFolder()),
                      {"--destination", destination, picture(QStringLiteral("slow.png"))});
        QTRY_VERIFY_WITH_TIMEOUT(tool.recordedPid() > 0, 10000);
        const qint64 toolProcess = tool.recordedPid();
        QVERIFY(!test::processEnded(toolProcess));

        process.terminate();
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 130);
        QVERIFY(QString::fromUtf8(process.readAllStandardOutput())
                    .endsWith(QStringLiteral("\nStopped\n")));
        QTRY_VERIFY(test::processEnded(toolProcess));
        QVERIFY(QDir(destination).isEmpty());
        QVERIFY(
            QDir(QDir::tempPath()).entryList({QStringLiteral("inkvale-*")}, QDir::Dirs).isEmpty());
    }

    // Killed outright, the program takes its tool with it; the scratch folder it could not
    // remove goes at the next run's first conversion.
    void killedProgramLeavesNoToolAndNoScratchForLong()
    {
        const FakeTool tool(FakeTool::Behaviour::Slow);
        const QString program = copyProgramTo(tool.programFolder());
        const QStringList before =
            QDir(QDir::tempPath()).entryList({QStringLiteral("inkvale-*")}, QDir::Dirs);
        QProcess process;
        process.start(program, {"--destination", m_work.filePath("killed-out"),
                                picture(QStringLiteral("killed.png"), 8, 8)});
        QTRY_VERIFY_WITH_TIMEOUT(tool.recordedPid() > 0, 10000);
        const qint64 toolProcess = tool.recordedPid();

        process.kill();
        QVERIFY(process.waitForFinished(5000));
        QTRY_VERIFY_WITH_TIMEOUT(test::processEnded(toolProcess), 5000);
        const QStringList left =
            QDir(QDir::tempPath()).entryList({QStringLiteral("inkvale-*")}, QDir::Dirs);
        QCOMPARE(left.size(), before.size() + 1);

        const FakeTool next(FakeTool::Behaviour::Succeed);
        const Run run = runConvert({"--destination", m_work.filePath("next-out"),
                                    picture(QStringLiteral("next.png"), 8, 8)},
                                   copyProgramTo(next.programFolder()));
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QDir(QDir::tempPath()).entryList({QStringLiteral("inkvale-*")}, QDir::Dirs),
                 before);
    }

    // Whatever a PATH holds, every input is converted or reported, nothing is left out in
    // silence, and a run that converted nothing says so and ends with 1.
    void everyPathIsConvertedOrReported_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("lines"); // <dir> is the case's folder, <any> any line
        QTest::addColumn<QStringList>("results");

        const QStringList nothing{"Completed", "Nothing was converted."};
        QTest::newRow("named pipe in a folder")
            << "dir:folder pipe:folder/fifo.jpg" << 1
            << QStringList{"Processing <dir>/folder/fifo.jpg...",
                           "Completed (1 failed)",
                           "Not converted:",
                           "<dir>/folder/fifo.jpg",
                           "    It is a named pipe (FIFO), not a picture file",
                           "Nothing was converted."}
            << QStringList{};
        QTest::newRow("named pipe given, beside a picture")
            << "pipe:fifo.jpg picture:a.png path:fifo.jpg path:a.png" << 1
            << QStringList{"Processing <dir>/fifo.jpg...",
                           "Processing <dir>/a.png...",
                           "Completed (1 failed)",
                           "Not converted:",
                           "<dir>/fifo.jpg",
                           "    It is a named pipe (FIFO), not a picture file"}
            << QStringList{"a.png"};
        QTest::newRow("link that leads nowhere, in a folder")
            << "dir:folder dangling:folder/gone.jpg" << 1
            << QStringList{"Processing <dir>/folder/gone.jpg...",
                           "Completed (1 failed)",
                           "Not converted:",
                           "<dir>/folder/gone.jpg",
                           "    It is a link to a file that does not exist",
                           "Nothing was converted."}
            << QStringList{};
        QTest::newRow("missing file")
            << "path:gone.jpg" << 1 << QStringList{"Processing <dir>/gone.jpg...",
                                                   "Completed (1 failed)",
                                                   "Not converted:",
                                                   "<dir>/gone.jpg",
                                                   "    The file does not exist",
                                                   "Nothing was converted."}
            << QStringList{};
        QTest::newRow("empty folder named like a picture")
            << "dir:x.jpg/" << 1
            << QStringList{"<dir>/x.jpg/: no pictures in this folder"} + nothing << QStringList{};
        QTest::newRow("empty folder")
            << "dir:empty" << 1 << QStringList{"<dir>/empty: no pictures in this folder"} + nothing
            << QStringList{};
        QTest::newRow("folder without pictures, beside one with")
            << "dir:none text:none/notes.txt picture:none/sub/a.png dir:some picture:some/b.png"
            << 0
            << QStringList{"<dir>/none: no pictures in this folder",
                           "Processing <dir>/some/b.png...", "Completed"}
            << QStringList{"b.png"};
        QTest::newRow("name that is not UTF-8, in a folder")
            << "dir:nu raw-picture:nu" << 0
            << QStringList{"Processing <dir>/nu/\\xff\\xfe.jpg...", "Completed"}
            << QStringList{"\uFFFD\uFFFD.png"};
        QTest::newRow("name that is not UTF-8, given")
            << "raw-picture:. raw-path:" << 0
            << QStringList{"Processing <dir>/\\xff\\xfe.jpg...", "Completed"}
            << QStringList{"\uFFFD\uFFFD.png"};
    }

    void everyPathIsConvertedOrReported()
    {
        QFETCH(QString, setup);
        QFETCH(int, exitCode);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, results);
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        QTemporaryDir root;
        const QString destination =
            m_work.filePath(QStringLiteral("reported-") + QTest::currentDataTag());
        QStringList paths;
        bool rawPath = false;
        // Each step is "what:where", `where` relative to the case's folder. "dir" makes a
        // folder and "path" names a file, each a PATH in turn; the others only make files.
        // "raw-picture" puts a picture named \xFF\xFE.jpg into a folder, "raw-path:" gives
        // that name in the case's folder as the last PATH.
        for (const QString &step : setup.split(QLatin1Char(' '))) {
            const QString what = step.section(QLatin1Char(':'), 0, 0);
            const QString relative = step.section(QLatin1Char(':'), 1);
            const QString where = root.path() + QLatin1Char('/') + relative;
            if (what != QLatin1String("dir") && what != QLatin1String("raw-path")) {
                QDir().mkpath(QFileInfo(where).path());
            }
            if (what == QLatin1String("dir")) {
                QVERIFY(QDir().mkpath(where));
                paths.append(where);
            } else if (what == QLatin1String("path")) {
                paths.append(where);
            } else if (what == QLatin1String("pipe")) {
                QCOMPARE(::mkfifo(QFile::encodeName(where).constData(), 0600), 0);
            } else if (what == QLatin1String("dangling")) {
                QVERIFY(QFile::link(root.filePath(QStringLiteral("nowhere.jpg")), where));
            } else if (what == QLatin1String("text")) {
                QVERIFY(QFile(where).open(QIODevice::WriteOnly));
            } else if (what == QLatin1String("picture")) {
                QVERIFY(test::writePicture(where, 8, 8));
            } else if (what == QLatin1String("raw-picture")) {
                const QString source = root.filePath(QStringLiteral("source.png"));
                QVERIFY(test::writePicture(source, 8, 8));
                const QByteArray target = QFile::encodeName(where) + "/\xFF\xFE.jpg";
                QCOMPARE(::rename(QFile::encodeName(source).constData(), target.constData()), 0);
            } else if (what == QLatin1String("raw-path")) {
                rawPath = true;
            }
        }
        const QString program = copyProgramTo(tool.programFolder());
        const QStringList arguments = QStringList{"--destination", destination} + paths;
        const Run run =
            rawPath ? runConvertWithRawPath(
                          arguments, QFile::encodeName(root.path()) + "/\xFF\xFE.jpg", program)
                    : runConvert(arguments, program);
        QCOMPARE(run.exitCode, exitCode);
        QStringList expected;
        for (const QString &line : lines) {
            expected.append(QString(line).replace(QStringLiteral("<dir>"), root.path()));
        }
        QCOMPARE(run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts), expected);
        QCOMPARE(QDir(destination).entryList(QDir::Files, QDir::Name), results);
    }

    // A name cannot steer the terminal: control characters in printed names and in the
    // tool's words are shown escaped, while the log keeps the exact text.
    void controlCharactersArePrintedEscaped()
    {
        const FakeTool tool(FakeTool::Behaviour::Fail);
        QFile script(tool.location().toolFile());
        QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        // Colour codes the tool adds itself are dropped already; this one would set the
        // terminal's title.
        script.write("#!/bin/sh\nprintf 'bad \\033]0;title\\007 words\\n' >&2\nexit 1\n");
        script.close();
        const QString input = picture(QStringLiteral("control/\x1b[31mred\x7f\u202e.jpg"), 8, 8);
        const QString log = m_work.filePath(QStringLiteral("control.log"));
        const Run run =
            runConvert({"--destination", m_work.filePath("control-out"), "--log", log, input},
                       copyProgramTo(tool.programFolder()));
        QCOMPARE(run.exitCode, 1);
        const QString shown =
            m_work.filePath(QStringLiteral("control/\\x1b[31mred\\x7f\\u202e.jpg"));
        QVERIFY2(run.out.contains(QStringLiteral("Processing ") + shown + QStringLiteral("...\n")),
                 qPrintable(run.out));
        QVERIFY2(run.out.contains(QStringLiteral("\n") + shown + QStringLiteral("\n")),
                 qPrintable(run.out));
        QVERIFY2(run.out.contains(QStringLiteral("bad \\x1b]0;title\\x07 words")),
                 qPrintable(run.out));
        QVERIFY(!run.out.contains(QLatin1Char('\x1b')));
        QVERIFY(!run.out.contains(QChar(0x202e)));

        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("bad \x1b]0;title\x07 words\n"));
    }

    // A picture whose tool would not fit in this machine's memory is refused before the tool
    // starts, whatever --jobs allows; the others convert.
    void pictureTooLargeForTheMachineIsRefused()
    {
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        const QString huge = m_work.filePath(QStringLiteral("huge/huge.jpg"));
        QDir().mkpath(QFileInfo(huge).path());
        QVERIFY(test::writeFile(huge, test::jpegClaiming(QSize(60000, 60000))));
        // Data enough (sparse) that the claim could hold.
        QVERIFY(QFile::resize(huge, qint64(8) << 20));
        const QString small = picture(QStringLiteral("huge/small.png"), 8, 8);
        const QString destination = m_work.filePath(QStringLiteral("huge-out"));
        const Run run = runConvert({"--jobs", "4", "--destination", destination, huge, small},
                                   copyProgramTo(tool.programFolder()));
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.out.contains(QStringLiteral("Not converted:\n") + huge +
                                  QStringLiteral("\n    too large for this machine's memory: "
                                                 "needs about 259.3 GB\n")),
                 qPrintable(run.out));
        QCOMPARE(QDir(destination).entryList(QDir::Files), QStringList{"small.png"});
    }

    // A log that cannot be written is an error: a named pipe nothing reads from fails at
    // once instead of waiting for ever, and a full disk ends the run with 2 after the
    // conversions, which are kept.
    void logThatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("log"); // <fifo>: a named pipe without a reader
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("results");
        QTest::newRow("named pipe without a reader")
            << "<fifo>"
            << "Unable to open the log file <fifo>\nIt is a named pipe that no program reads "
               "from.\n"
            << QStringList{};
        QTest::newRow("full disk") << "/dev/full"
                                   << "Unable to write the log file /dev/full\nNo space left on "
                                      "device.\n"
                                   << QStringList{"a.png"};
    }

    void logThatCannotBeWritten()
    {
        QFETCH(QString, log);
        QFETCH(QString, message);
        QFETCH(QStringList, results);
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        const QString fifo =
            m_work.filePath(QStringLiteral("nobody-reads-") + QTest::currentDataTag());
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        log.replace(QStringLiteral("<fifo>"), fifo);
        const QString destination =
            m_work.filePath(QStringLiteral("unlogged-") + QTest::currentDataTag());
        const Run run = runConvert({"--log", log, "--destination", destination,
                                    picture(QStringLiteral("unlogged/a.png"), 8, 8)},
                                   copyProgramTo(tool.programFolder()));
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.err, message.replace(QStringLiteral("<fifo>"), fifo));
        QCOMPARE(QDir(destination).entryList(QDir::Files), results);
        QFile::remove(fifo);
    }

    // A reader that stops reading holds the log up, but a termination request still stops
    // the run at once.
    void stalledLogReaderDoesNotHoldTheStopUp()
    {
        const FakeTool tool(FakeTool::Behaviour::Fail);
        QFile script(tool.location().toolFile());
        QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        // More than a pipe holds.
        script.write("#!/bin/sh\nhead -c 300000 /dev/zero | tr '\\0' x\necho\nexit 1\n");
        script.close();
        const QString fifo = m_work.filePath(QStringLiteral("stalled.log"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        // Opened for reading and writing, so that the program's open finds a reader; never
        // read from.
        const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDWR);
        QVERIFY(reader >= 0);
        QProcess process;
        process.start(copyProgramTo(tool.programFolder()),
                      {"--log", fifo, "--destination", m_work.filePath("stalled-out"),
                       picture(QStringLiteral("stalled/a.png"), 8, 8)});
        QVERIFY(process.waitForStarted());
        // Until the pipe is full and the program waits on it.
        QTest::qWait(1500);
        QVERIFY2(process.state() == QProcess::Running,
                 qPrintable(QString::fromUtf8(process.readAllStandardError())));

        process.terminate();
        QVERIFY(process.waitForFinished(5000));
        QVERIFY(process.exitCode() != 0);
        QVERIFY2(process.readAllStandardError().contains("Unable to write the log file"),
                 "the lost log is reported");
        ::close(reader);
        QFile::remove(fifo);
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

    // --recursive mirrors the tree, --name names the results, --quality and --keep-location
    // reach the result, WEBP and AVIF are formats like the others.
    void photoChoices_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("results");
        QTest::newRow("folder alone") << QStringList{} << QStringList{"a.png"};
        QTest::newRow("recursive")
            << QStringList{"--recursive"} << QStringList{"a.png", "sub/deeper/d.png"};
        QTest::newRow("recursive, named, webp")
            << QStringList{"--recursive", "--name", "{n} {effect}", "--format", "webp"}
            << QStringList{"1 Cartoon.webp", "sub/deeper/2 Cartoon.webp"};
        QTest::newRow("avif with a quality")
            << QStringList{"--format", "AVIF", "--quality", "40", "--keep-location"}
            << QStringList{"a.avif"};
    }

    void photoChoices()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, results);
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        QTemporaryDir root;
        const QString folder = root.filePath(QStringLiteral("tree"));
        for (const QString name : {"a.png", "sub/deeper/d.png", ".hidden/e.png"}) {
            QDir().mkpath(QFileInfo(folder + "/" + name).path());
            QVERIFY(test::writePicture(folder + "/" + name, 8, 8));
        }
        const QString destination = root.filePath(QStringLiteral("out"));
        const Run run = runConvert(options + QStringList{"--destination", destination, folder},
                                   copyProgramTo(tool.programFolder()));
        QCOMPARE(run.exitCode, 0);
        QStringList found;
        QDirIterator it(destination, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            found.append(QDir(destination).relativeFilePath(it.next()));
        }
        found.sort();
        QCOMPARE(found, results);
    }
};

INKVALE_TEST_MAIN(ConvertCliTest)
#include "convertcli_test.moc"
