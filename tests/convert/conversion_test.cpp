#include "convert/conversionjob.h"
#include "convert/stringtoollog.h"
#include "convert/toolrun.h"
#include "support/faketool.h"
#include "support/testenvironment.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <sys/resource.h>

using namespace inkvale;
using test::FakeTool;

namespace {

const QString kClosing = QStringLiteral("Processing completed successfully.\n"
                                        "**********************************\n"
                                        "\n");

QStringList scratchFolders()
{
    return QDir(QDir::tempPath()).entryList({QStringLiteral("inkvale-*")}, QDir::Dirs);
}

} // namespace

// One conversion through a stand-in tool: the log's exact text, the arguments the tool gets,
// and what is left on disk.
class ConversionTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_pictures;

private slots:
    void logText_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<QString>("effect");
        QTest::addColumn<QString>("toolWords"); // a regular expression for the middle part
        QTest::addColumn<bool>("converted");

        QTest::newRow("tool that writes its picture")
            << int(FakeTool::Behaviour::Succeed) << "Cartoon"
            << "fake tool: writing .*\n"
            << true;
        QTest::newRow("silent tool") << int(FakeTool::Behaviour::Silent) << "Cartoon"
                                     << "" << false;
        QTest::newRow("failing tool") << int(FakeTool::Behaviour::Fail) << "Cutout"
                                      << "\\*\\*\\* Error \\*\\*\\* fake tool cannot read '.*'\n"
                                      << false;
        QTest::newRow("tool that cannot start")
            << int(FakeTool::Behaviour::NotRunnable) << "Cartoon"
            << ".*<EACCES>.*\n"
            << false;
    }

    void logText()
    {
        QFETCH(int, behaviour);
        QFETCH(QString, effect);
        QFETCH(QString, toolWords);
        QFETCH(bool, converted);
        const FakeTool tool(static_cast<FakeTool::Behaviour>(behaviour));
        const QString input = m_pictures.filePath(QStringLiteral("in.png"));
        QVERIFY(test::writePicture(input, 20, 10));
        const QString output = m_pictures.filePath(QStringLiteral("out-%1.png").arg(behaviour));

        StringToolLog log;
        log.addLine(QStringLiteral("left over from before"));
        const ConversionResult result = convertImage(effect, input, output, log, tool.location());

        QCOMPARE(result.converted(), converted);
        QCOMPARE(QFileInfo::exists(output), converted);
        // The system's words for a file that cannot be run, in the language it speaks.
        toolWords.replace(
            QStringLiteral("<EACCES>"),
            QRegularExpression::escape(QString::fromLocal8Bit(std::strerror(EACCES))));
        const QString pattern = QStringLiteral("gmic \"%1\" \\S+ \\S+ -o \"(.*)\"\n").arg(input) +
                                QStringLiteral("Commencing processing\\.\\.\\.\n") + toolWords +
                                QRegularExpression::escape(kClosing);
        const QRegularExpression expected(QRegularExpression::anchoredPattern(pattern));
        const QRegularExpressionMatch match = expected.match(log.text());
        QVERIFY2(match.hasMatch(), qPrintable(log.text()));
        const QString temporary = match.captured(1);
        QCOMPARE(QFileInfo(temporary).fileName(), QStringLiteral("zemcartoon.png"));
        QVERIFY(QFileInfo(temporary).path().startsWith(QDir::tempPath()));
        QVERIFY2(!QFileInfo::exists(temporary), "the temporary output is removed");
        QVERIFY(scratchFolders().isEmpty());
    }

    // The tool's bytes as text: a zero byte does not cut off what follows, and a letter
    // split across two reads stays whole.
    void toolOutputIsDecodedAsItComes()
    {
        ToolCommand command;
        command.commandLine = QStringLiteral("sh -c ...");
        command.arguments = {
            QStringLiteral("-c"),
            QStringLiteral("printf 'a\\000b \\303'; sleep 0.2; printf '\\274 done'")};
        StringToolLog log;
        runToolCaptured(command, QStringLiteral("/bin/sh"), QDir::tempPath(), log);
        QCOMPARE(log.text(),
                 QStringLiteral("Commencing processing...\nab \u00fc done\n") + kClosing);
    }

    void unknownEffectStartsNothing()
    {
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        const QString output = m_pictures.filePath(QStringLiteral("unknown.png"));
        StringToolLog log;
        const ConversionResult result =
            convertImage(QStringLiteral("Sepia"), m_pictures.filePath(QStringLiteral("in.png")),
                         output, log, tool.location());
        QVERIFY(!result.converted());
        QCOMPARE(log.text(), QStringLiteral("\nCommencing processing...\n") + kClosing);
        QVERIFY(tool.recordedArguments().isEmpty());
        QVERIFY(!QFileInfo::exists(output));
    }

    void missingToolFolderIsReportedInTheLog()
    {
        QTemporaryDir program; // no gmic folder at all
        StringToolLog log;
        const ConversionResult result = convertImage(
            QStringLiteral("Cartoon"), m_pictures.filePath(QStringLiteral("in.png")),
            m_pictures.filePath(QStringLiteral("never.png")), log, ToolLocation(program.path()));
        QVERIFY(!result.converted());
        const QStringList lines = log.text().split(QLatin1Char('\n'));
        QCOMPARE(lines.at(1), QStringLiteral("Commencing processing..."));
        QVERIFY2(!lines.at(2).isEmpty() && !lines.at(2).startsWith(QStringLiteral("Processing")),
                 qPrintable(log.text()));
        QVERIFY(log.text().endsWith(kClosing));
    }

    // No shell lies between the program and the tool: every character of a name arrives as
    // part of one argument, and nothing in it is run.
    void namesReachTheToolAsOneArgument_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("command substitution") << "$(touch pwned).png";
        QTest::newRow("backquotes") << "`touch pwned`.png";
        QTest::newRow("quotes") << "it's \"quoted\".png";
        QTest::newRow("spaces and percent") << "100 % sure %PATH%.png";
        QTest::newRow("semicolon and ampersand") << "a; touch pwned & b.png";
        QTest::newRow("non-ASCII letters") << "Ünïcödé 東京 ёж.png";
    }

    void namesReachTheToolAsOneArgument()
    {
        QFETCH(QString, name);
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        QTemporaryDir folder;
        const QString input = folder.filePath(name);
        QVERIFY(test::writePicture(input, 12, 12));
        const QString output = folder.filePath(QStringLiteral("result.png"));
        StringToolLog log;

        QVERIFY(convertImage(QStringLiteral("Cartoon"), input, output, log, tool.location())
                    .converted());

        const QStringList arguments = tool.recordedArguments();
        QCOMPARE(arguments.size(), 5);
        QCOMPARE(tool.recordedInputTarget(), QFileInfo(input).canonicalFilePath());
        QCOMPARE(arguments.at(1), QStringLiteral("cartoon"));
        QVERIFY(log.text().contains(QStringLiteral("\"%1\"").arg(arguments.at(0))));
        for (const QString &where : {folder.path(), tool.programFolder(),
                                     tool.programFolder() + QStringLiteral("/gmic")}) {
            QVERIFY2(!QFileInfo::exists(where + QStringLiteral("/pwned")), qPrintable(where));
        }
        QVERIFY(QFileInfo::exists(output));
    }

    // Another program takes the output name while the tool runs: its file stays as it is,
    // and the conversion says that it failed.
    void outputNameTakenMeanwhile()
    {
        const FakeTool tool(FakeTool::Behaviour::TakeOutputName);
        const QString output = m_pictures.filePath(QStringLiteral("taken meanwhile.jpg"));
        QFile take(tool.programFolder() + QStringLiteral("/gmic/take"));
        QVERIFY(take.open(QIODevice::WriteOnly));
        take.write(output.toUtf8());
        take.close();

        StringToolLog log;
        const ConversionResult result =
            convertImage(QStringLiteral("Cartoon"), m_pictures.filePath(QStringLiteral("in.png")),
                         output, log, tool.location());
        QCOMPARE(result.outcome, ConversionResult::Outcome::Failed);
        QVERIFY2(result.failure.startsWith(QStringLiteral("Unable to save ") + output),
                 qPrintable(result.failure));
        QFile file(output);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("written meanwhile\n"));
        QVERIFY(scratchFolders().isEmpty());
    }

    // Two conversions at once each get their own result.
    void concurrentConversionsKeepTheirResults()
    {
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        const QString small = m_pictures.filePath(QStringLiteral("small.png"));
        const QString large = m_pictures.filePath(QStringLiteral("large.png"));
        QVERIFY(test::writePicture(small, 10, 10));
        QVERIFY(test::writePicture(large, 50, 40));
        // A tool that echoes its input makes a mix-up visible.
        QFile script(tool.location().toolFile());
        QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
        script.write("#!/bin/sh\nsleep 0.3\ncp \"$1\" \"$5\"\n");
        script.close();

        StringToolLog firstLog;
        StringToolLog secondLog;
        const QString firstOutput = m_pictures.filePath(QStringLiteral("small-out.bmp"));
        const QString secondOutput = m_pictures.filePath(QStringLiteral("large-out.bmp"));
        ConversionJob first(QStringLiteral("Cartoon"), small, firstOutput, firstLog,
                            tool.location());
        ConversionJob second(QStringLiteral("Cutout"), large, secondOutput, secondLog,
                             tool.location());
        QSignalSpy firstDone(&first, &ConversionJob::finished);
        QSignalSpy secondDone(&second, &ConversionJob::finished);
        first.start();
        second.start();
        QTRY_VERIFY(firstDone.size() == 1 && secondDone.size() == 1);

        QCOMPARE(QImageReader(firstOutput).size(), QSize(10, 10));
        QCOMPARE(QImageReader(secondOutput).size(), QSize(50, 40));
        QVERIFY(firstLog.text().contains(QStringLiteral(" cartoon ")));
        QVERIFY(secondLog.text().contains(QStringLiteral(" fx_cutout ")));
    }

    void aBackgroundRunYieldsTheProcessor_data()
    {
        QTest::addColumn<bool>("background");
        QTest::newRow("normal") << false;
        QTest::newRow("background") << true;
    }

    void aBackgroundRunYieldsTheProcessor()
    {
        QFETCH(bool, background);
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        const QString input = m_pictures.filePath(QStringLiteral("nice.png"));
        QVERIFY(test::writePicture(input, 8, 6));
        StringToolLog log;
        ConversionJob job(QStringLiteral("Cartoon"), input,
                          m_pictures.filePath(QStringLiteral("nice-%1.png").arg(background)), log,
                          tool.location());
        if (background) {
            job.setPriority(platform::ToolPriority::Background);
        }
        QSignalSpy finished(&job, &ConversionJob::finished);
        job.start();
        QVERIFY(finished.wait(10000));
        QVERIFY(finished.first().first().value<ConversionResult>().converted());
        const int own = ::getpriority(PRIO_PROCESS, 0);
        QCOMPARE(tool.recordedNiceness(), background ? std::min(own + 10, 19) : own);
    }

    void cancelStopsTheToolAndLeavesNothing()
    {
        const FakeTool tool(FakeTool::Behaviour::Slow);
        const QString output = m_pictures.filePath(QStringLiteral("cancelled.png"));
        StringToolLog log;
        ConversionJob job(QStringLiteral("Cartoon"), m_pictures.filePath(QStringLiteral("in.png")),
                          output, log, tool.location());
        QSignalSpy finished(&job, &ConversionJob::finished);
        job.start();
        const QString pidFile = tool.programFolder() + QStringLiteral("/gmic/pid");
        QTRY_VERIFY(QFileInfo::exists(pidFile) && QFileInfo(pidFile).size() > 0);
        QFile file(pidFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray pid = file.readAll().trimmed();

        job.cancel();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 5000);
        QCOMPARE(finished.first().first().value<ConversionResult>().outcome,
                 ConversionResult::Outcome::Cancelled);
        QVERIFY(!QFileInfo::exists(output));
        QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/") + QString::fromLatin1(pid)));
        QVERIFY(scratchFolders().isEmpty());
    }
};

INKVALE_TEST_MAIN(ConversionTest)
#include "conversion_test.moc"
