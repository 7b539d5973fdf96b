#include "base/fspath.h"
#include "convert/batchcontroller.h"
#include "convert/batchsources.h"
#include "convert/conversionerror.h"
#include "convert/parallelconversions.h"
#include "convert/stringtoollog.h"
#include "convert/waitforresult.h"
#include "support/faketool.h"
#include "support/testenvironment.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <sys/stat.h>

using namespace inkvale;
using test::FakeTool;

namespace {

// Sources whose values a test can change while the batch runs; everything the batch reports
// is recorded.
class RecordingSources : public BatchSources
{
public:
    QStringList rows;
    QString destinationText;
    QString formatText = QStringLiteral("PNG");
    QString effectText = QStringLiteral("Cartoon");
    StringToolLog toolLog;
    QStringList statuses;
    QList<bool> busy;
    QList<int> runningCounts;
    // Batches that ended without being stopped: a window beeps for them.
    int beeps = 0;
    // Runs after every status, once it is recorded.
    std::function<void(RecordingSources &)> onStatus;

    int rowCount() const override { return static_cast<int>(rows.size()); }
    QString rowPath(int row) const override { return rows.at(row); }
    QString destination() const override { return destinationText; }
    QString format() const override { return formatText; }
    QString effect() const override { return effectText; }

    void watch(BatchController &controller)
    {
        QObject::connect(&controller, &BatchController::statusChanged, &controller,
                         [this](const QString &text) {
                             statuses.append(text);
                             if (onStatus) {
                                 onStatus(*this);
                             }
                         });
        QObject::connect(&controller, &BatchController::busyChanged, &controller,
                         [this](bool on) { busy.append(on); });
        QObject::connect(&controller, &BatchController::runningCountChanged, &controller,
                         [this](int count) { runningCounts.append(count); });
        QObject::connect(&controller, &BatchController::conversionLogged, &controller,
                         [this](const QString &log) {
                             toolLog.clear();
                             toolLog.appendText(log);
                         });
        QObject::connect(&controller, &BatchController::finished, &controller,
                         [this](const BatchResult &result) {
                             if (!result.stopped) {
                                 ++beeps;
                             }
                         });
    }
};

// convertBatch() with everything the batch reports recorded in `sources`.
BatchResult runBatch(RecordingSources &sources, const ToolLocation &location, int jobs = 0)
{
    BatchController controller(sources, location);
    controller.setJobs(jobs);
    sources.watch(controller);
    return waitForResult(controller, &BatchController::finished, [&] { controller.start(); });
}

QStringList fileNames(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The lines a fake tool appended to a file of its folder.
QStringList toolRecord(const FakeTool &tool, const QString &name)
{
    QFile file(tool.programFolder() + QStringLiteral("/gmic/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool processExists(const QString &pid)
{
    return QFileInfo::exists(QStringLiteral("/proc/") + pid);
}

} // namespace

class BatchTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_work;

    QString picture(const QString &relative)
    {
        const QString path = m_work.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        if (!QFileInfo::exists(path)) {
            test::writePicture(path, 16, 12);
        }
        return path;
    }

private slots:
    void convertsEveryRowInOrder()
    {
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        RecordingSources sources;
        sources.rows = {picture("a/photo.jpg"), picture("b/photo.jpg"),
                        picture("a/archive.tar.gz")};
        sources.destinationText = m_work.filePath(QStringLiteral("order/deeper/out"));

        const BatchResult result = runBatch(sources, tool.location());

        QCOMPARE(fileNames(sources.destinationText),
                 (QStringList{"archive.tar.png", "photo (2).png", "photo.png"}));
        QCOMPARE(sources.statuses,
                 (QStringList{"Processing " + sources.rows[0] + "...",
                              "Processing " + sources.rows[1] + "...",
                              "Processing " + sources.rows[2] + "...", "Completed"}));
        QCOMPARE(result.status, QStringLiteral("Completed"));
        QCOMPARE(result.converted, 3);
        QVERIFY(result.failures.isEmpty());
        QCOMPARE(sources.busy, (QList<bool>{true, false}));
        QCOMPARE(sources.beeps, 1);
    }

    void emptyListStillCreatesTheFolderAndCompletes()
    {
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        RecordingSources sources;
        sources.destinationText = m_work.filePath(QStringLiteral("empty/out/"));
        const BatchResult result = runBatch(sources, tool.location());
        QVERIFY(QFileInfo(sources.destinationText).isDir());
        QCOMPARE(sources.statuses, QStringList{"Completed"});
        QCOMPARE(result.status, QStringLiteral("Completed"));
        QCOMPARE(sources.beeps, 1);
    }

    void failedImagesAreReportedWithTheToolsWords()
    {
        const FakeTool tool(FakeTool::Behaviour::Fail);
        RecordingSources sources;
        // Of different formats, so that each log tells its picture: the tool sees only
        // neutral names.
        sources.rows = {picture("fail/one.png"), picture("fail/two.jpg")};
        sources.destinationText = m_work.filePath(QStringLiteral("fail/out"));

        const BatchResult result = runBatch(sources, tool.location());

        QCOMPARE(result.status, QStringLiteral("Completed (2 failed)"));
        QCOMPARE(sources.statuses.constLast(), result.status);
        QCOMPARE(result.failures.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(result.failures[i].path, sources.rows[i]);
            // Each failure keeps its own image's log, not the last one.
            const QString suffix = QFileInfo(sources.rows[i]).suffix();
            QVERIFY(result.failures[i].log.contains("/input." + suffix + "'"));
            QVERIFY(result.failures[i].log.contains("*** Error *** fake tool cannot read"));
            QCOMPARE(result.failures[i].reason, QStringLiteral("The tool ended with status 1"));
        }
        QVERIFY(fileNames(sources.destinationText).isEmpty());
        QCOMPARE(sources.beeps, 1);
    }

    void commandsThatCannotStart_data()
    {
        QTest::addColumn<bool>("toolPresent");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("message"); // <tool> and <destination> are filled in

        QTest::newRow("tool missing") << false << "out"
                                      << "File not found!\r\r<tool>";
        QTest::newRow("empty destination") << true << ""
                                           << "Unable to create directory";
        QTest::newRow("destination below a file")
            << true << "a-file/out"
            << "Unable to create directory <destination>\r\r<reason>";
    }

    void commandsThatCannotStart()
    {
        QFETCH(bool, toolPresent);
        QFETCH(QString, destination);
        QFETCH(QString, message);
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        QTemporaryDir emptyProgram;
        const ToolLocation location =
            toolPresent ? tool.location() : ToolLocation(emptyProgram.path());
        QTemporaryDir root;
        QFile(root.filePath(QStringLiteral("a-file"))).open(QIODevice::WriteOnly);
        RecordingSources sources;
        sources.rows = {picture("x.png")};
        sources.destinationText = destination.isEmpty() ? QString() : root.filePath(destination);

        try {
            runBatch(sources, location);
            QFAIL("the batch should not start");
        } catch (const ConversionError &error) {
            const QString expected =
                QString(message)
                    .replace("<tool>", QDir::toNativeSeparators(location.toolFile()))
                    .replace("<destination>", QDir::toNativeSeparators(sources.destinationText))
                    .replace("<reason>", QString::fromLocal8Bit(std::strerror(ENOTDIR)));
            QCOMPARE(error.message(), expected);
            QCOMPARE(dynamic_cast<const ToolMissingError *>(&error) != nullptr, !toolPresent);
        }
        QVERIFY(sources.statuses.isEmpty());
        QVERIFY(sources.busy.isEmpty());
        QVERIFY(tool.recordedArguments().isEmpty());
        if (!toolPresent) {
            QVERIFY2(!QFileInfo::exists(sources.destinationText),
                     "nothing changes before the check");
        }
    }

    // What the user changes while a batch runs applies from the next image on.
    void editsTakeEffectFromTheNextImage()
    {
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        RecordingSources sources;
        const QString first = m_work.filePath(QStringLiteral("edit/first"));
        const QString second = m_work.filePath(QStringLiteral("edit/second"));
        sources.rows = {picture("edit/a.png"), picture("edit/b.png")};
        sources.destinationText = first;
        sources.onStatus = [&](RecordingSources &s) {
            if (s.statuses.size() == 1) { // the first image is about to be converted
                s.destinationText = second;
                s.formatText = QStringLiteral("JPG");
                s.rows.append(picture("edit/c.png"));
            }
        };
        const BatchResult result = runBatch(sources, tool.location());
        QCOMPARE(result.converted, 3);
        QCOMPARE(fileNames(first), QStringList{"a.png"});
        QCOMPARE(fileNames(second), (QStringList{"b.jpg", "c.jpg"}));
    }

    // Only regular files are converted; anything else fails at once, without being opened (a
    // pipe would keep its reader waiting for ever), and the batch goes on.
    void inputsThatAreNoFilesFailAtOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("named pipe") << "fifo"
                                    << "It is a named pipe (FIFO), not a picture file";
        QTest::newRow("link that leads nowhere") << "dangling"
                                                 << "It is a link to a file that does not exist";
        QTest::newRow("device") << "device"
                                << "It is a device, not a picture file";
        QTest::newRow("folder named like a picture") << "folder"
                                                     << "It is a folder, not a picture file";
        QTest::newRow("missing file") << "missing"
                                      << "The file does not exist";
    }

    void inputsThatAreNoFilesFailAtOnce()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        QTemporaryDir root;
        QString odd = root.filePath(kind + QStringLiteral(".jpg"));
        if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(odd).constData(), 0600), 0);
        } else if (kind == QLatin1String("dangling")) {
            QVERIFY(QFile::link(root.filePath(QStringLiteral("gone.jpg")), odd));
        } else if (kind == QLatin1String("device")) {
            odd = QStringLiteral("/dev/null");
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkdir(odd));
        }
        RecordingSources sources;
        const QString good = picture("odd/good.png");
        sources.rows = {good, odd};
        sources.destinationText = root.filePath(QStringLiteral("out"));

        const BatchResult result = runBatch(sources, tool.location());

        QCOMPARE(result.status, QStringLiteral("Completed (1 failed)"));
        QCOMPARE(result.converted, 1);
        QCOMPARE(result.failures.size(), 1);
        QCOMPARE(result.failures[0].path, odd);
        QCOMPARE(result.failures[0].reason, reason);
        QVERIFY(result.failures[0].log.contains(reason));
        QCOMPARE(fileNames(sources.destinationText), QStringList{"good.png"});
        // The tool never ran for it: its last run was the good picture's.
        QCOMPARE(tool.recordedInputBytes(), contents(good));
    }

    // A name that is not valid UTF-8 is converted; its result's name shows those bytes as
    // U+FFFD.
    void nameThatIsNotUtf8Converts()
    {
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        QTemporaryDir root;
        const std::filesystem::path raw = toFsPath(root.path()) / std::string("\xFF\xFE.jpg");
        std::filesystem::copy_file(toFsPath(picture("nu/source.jpg")), raw);
        RecordingSources sources;
        sources.rows = {fromFsPath(raw)};
        sources.destinationText = root.filePath(QStringLiteral("out"));

        const BatchResult result = runBatch(sources, tool.location());

        QCOMPARE(result.status, QStringLiteral("Completed"));
        QCOMPARE(result.converted, 1);
        QCOMPARE(fileNames(sources.destinationText),
                 QStringList{QStringLiteral("\uFFFD\uFFFD.png")});
    }

    // A name of the longest length converts again and again: the number of each later
    // result fits because the base name is shortened before the tool runs.
    void longestNameConvertsAgain()
    {
        const FakeTool tool(FakeTool::Behaviour::Succeed);
        const QString base(251, QLatin1Char('n'));
        RecordingSources sources;
        sources.rows = {picture(QStringLiteral("long/") + base + QStringLiteral(".jpg"))};
        sources.destinationText = m_work.filePath(QStringLiteral("long-out"));

        for (int run = 0; run < 3; ++run) {
            const BatchResult result = convertBatch(sources, tool.location());
            QVERIFY2(result.failures.isEmpty(), qPrintable(result.failures.value(0).reason));
        }
        QCOMPARE(fileNames(sources.destinationText),
                 (QStringList{base.left(247) + QStringLiteral(" (2).png"),
                              base.left(247) + QStringLiteral(" (3).png"),
                              base + QStringLiteral(".png")}));
    }

    // Another copy of the program (or another machine on a shared folder) takes the chosen
    // name while the tool runs: the result takes the next free one, theirs stays untouched.
    void nameTakenWhileTheToolRunsTakesTheNextFree_data()
    {
        QTest::addColumn<QStringList>("takenMeanwhile");
        QTest::addColumn<QString>("ours");
        QTest::newRow("the name") << QStringList{"photo.png"} << "photo (2).png";
        QTest::newRow("the name and the next")
            << QStringList{"photo.png", "photo (2).png"} << "photo (3).png";
        QTest::newRow("the next free name, chosen when the batch began")
            << QStringList{"photo (3).png"} << "photo (4).png";
    }

    void nameTakenWhileTheToolRunsTakesTheNextFree()
    {
        QFETCH(QStringList, takenMeanwhile);
        QFETCH(QString, ours);
        const FakeTool tool(FakeTool::Behaviour::TakeOutputName);
        QTemporaryDir destination;
        // "photo (3).png" is chosen at the start when these are there already.
        const bool chosenLater = takenMeanwhile.contains(QStringLiteral("photo (3).png"));
        if (chosenLater) {
            for (const QString name : {"photo.png", "photo (2).png"}) {
                QFile existing(destination.filePath(name));
                QVERIFY(existing.open(QIODevice::WriteOnly));
                existing.write("there before\n");
            }
        }
        QFile take(tool.programFolder() + QStringLiteral("/gmic/take"));
        QVERIFY(take.open(QIODevice::WriteOnly));
        for (const QString &name : takenMeanwhile) {
            take.write(destination.filePath(name).toUtf8() + '\n');
        }
        take.close();
        RecordingSources sources;
        sources.rows = {picture("race/photo.jpg")};
        sources.destinationText = destination.path();

        const BatchResult result = runBatch(sources, tool.location());

        QCOMPARE(result.status, QStringLiteral("Completed"));
        QCOMPARE(result.converted, 1);
        for (const QString &name : takenMeanwhile) {
            QCOMPARE(contents(destination.filePath(name)), QByteArray("written meanwhile\n"));
        }
        QVERIFY(QImage(destination.filePath(ours)).size() == QSize(24, 16));
        QCOMPARE(fileNames(destination.path()).size(),
                 takenMeanwhile.size() + 1 + (chosenLater ? 2 : 0));
    }

    void stopEndsTheRunningToolAndKeepsFinishedFiles()
    {
        // The first image converts with a quick tool, the second hangs until stopped.
        const FakeTool quick(FakeTool::Behaviour::Succeed);
        const FakeTool slow(FakeTool::Behaviour::Slow);
        RecordingSources sources;
        sources.rows = {picture("stop/a.png"), picture("stop/b.png"), picture("stop/c.png")};
        sources.destinationText = m_work.filePath(QStringLiteral("stop/out"));

        // The tool is looked up per batch, so swap the quick tool's script for the slow one
        // once the first image is done.
        BatchController controller(sources, quick.location());
        sources.watch(controller);
        controller.setJobs(1);
        QSignalSpy finished(&controller, &BatchController::finished);
        sources.onStatus = [&](RecordingSources &s) {
            if (s.statuses.size() == 2) {
                const QString script = quick.location().toolFile();
                QFile::remove(script);
                QFile::copy(slow.location().toolFile(), script);
            }
        };
        controller.start();
        const QString pidFile = quick.programFolder() + QStringLiteral("/gmic/pid");
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(pidFile).size() > 0, 10000);
        controller.stop();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 5000);

        const auto result = finished.first().first().value<BatchResult>();
        QVERIFY(result.stopped);
        QCOMPARE(result.converted, 1);
        QCOMPARE(result.status, QStringLiteral("Stopped"));
        QCOMPARE(fileNames(sources.destinationText), QStringList{"a.png"});
        QCOMPARE(sources.busy, (QList<bool>{true, false}));
        QCOMPARE(sources.beeps, 0);
        QVERIFY(!controller.isRunning());
    }

    // However the tools interleave, output names go by list order, failures are listed in list
    // order and the batch ends after its last image.
    void parallelRunsKeepTheListOrder_data()
    {
        QTest::addColumn<int>("jobs");
        QTest::newRow("two at once") << 2;
        QTest::newRow("five at once") << 5;
    }

    void parallelRunsKeepTheListOrder()
    {
        QFETCH(int, jobs);
        const FakeTool tool(FakeTool::Behaviour::RandomDelay);
        RecordingSources sources;
        const QString folder = m_work.filePath(QStringLiteral("parallel-%1/").arg(jobs));
        QList<int> convertedWidths; // each picture has its own width, its result too
        QStringList failing;
        QStringList expectedStatuses;
        for (int i = 0; i < 10; ++i) {
            const bool fails = i % 4 == 2;
            const QString path = folder + (fails ? QStringLiteral("fail-%1/broken.png")
                                                 : QStringLiteral("%1/photo.png"))
                                              .arg(i);
            QDir().mkpath(QFileInfo(path).path());
            QVERIFY(test::writePicture(path, 20 + i, 12));
            QVERIFY(!fails || test::markForFakeTool(path, "fail"));
            sources.rows.append(path);
            if (fails) {
                failing.append(path);
            } else {
                convertedWidths.append(20 + i);
            }
            expectedStatuses.append("Processing " + path + "...");
        }
        expectedStatuses.append(QStringLiteral("Completed (2 failed)"));
        sources.destinationText = folder + QStringLiteral("out");

        const BatchResult result = runBatch(sources, tool.location(), jobs);

        QCOMPARE(fileNames(sources.destinationText).size(), convertedWidths.size());
        for (int n = 0; n < convertedWidths.size(); ++n) {
            const QString name =
                n == 0 ? QStringLiteral("photo.png") : QStringLiteral("photo (%1).png").arg(n + 1);
            QCOMPARE(QImageReader(sources.destinationText + "/" + name).size().width(),
                     convertedWidths[n]);
        }
        QCOMPARE(result.converted, convertedWidths.size());
        QStringList failedPaths;
        for (const BatchFailure &failure : result.failures) {
            failedPaths.append(failure.path);
            QVERIFY(failure.log.contains(QStringLiteral("fake tool cannot read")));
        }
        QCOMPARE(failedPaths, failing);
        // Images start in list order; the final status comes once, after all of them.
        QCOMPARE(sources.statuses, expectedStatuses);
        QCOMPARE(result.status, expectedStatuses.constLast());
        QCOMPARE(sources.beeps, 1);
        QCOMPARE(sources.busy, (QList<bool>{true, false}));
        // The host's log ends as after one image at a time: with the last image's log alone.
        const QString last =
            QStringLiteral("converting %1 bytes").arg(QFileInfo(sources.rows.constLast()).size());
        QVERIFY(sources.toolLog.text().contains(last));
        QCOMPARE(sources.toolLog.text().count(QStringLiteral("converting ")), 1);
        // As many ran at once as allowed, each with its share of the cores.
        QCOMPARE(*std::max_element(sources.runningCounts.cbegin(), sources.runningCounts.cend()),
                 jobs);
        QCOMPARE(sources.runningCounts.constLast(), 0);
        const QStringList threads = toolRecord(tool, QStringLiteral("threads"));
        QCOMPARE(threads.size(), sources.rows.size());
        for (const QString &count : threads) {
            QCOMPARE(count, QString::number(toolThreads(QThread::idealThreadCount(), jobs)));
        }
    }

    void stopEndsEveryRunningToolAndKeepsFinishedFiles()
    {
        const FakeTool tool(FakeTool::Behaviour::RandomDelay);
        RecordingSources sources;
        sources.rows = {picture("stop-all/a.png"),      picture("stop-all/b.png"),
                        picture("stop-all/hang-1.png"), picture("stop-all/hang-2.png"),
                        picture("stop-all/hang-3.png"), picture("stop-all/later.png")};
        for (int row = 2; row < 5; ++row) {
            QVERIFY(test::markForFakeTool(sources.rows[row], "hang"));
        }
        sources.destinationText = m_work.filePath(QStringLiteral("stop-all/out"));
        BatchController controller(sources, tool.location());
        sources.watch(controller);
        controller.setJobs(3);
        QSignalSpy finished(&controller, &BatchController::finished);

        controller.start();
        // a and b convert, and the three hanging ones take their places.
        QTRY_COMPARE_WITH_TIMEOUT(toolRecord(tool, QStringLiteral("pids")).size(), 3, 10000);
        const QStringList pids = toolRecord(tool, QStringLiteral("pids"));
        for (const QString &pid : pids) {
            QVERIFY(processExists(pid));
        }
        controller.stop();
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 5000);

        for (const QString &pid : pids) {
            QVERIFY2(!processExists(pid), qPrintable(pid));
        }
        const auto result = finished.first().first().value<BatchResult>();
        QVERIFY(result.stopped);
        QCOMPARE(result.converted, 2);
        QVERIFY(result.failures.isEmpty());
        QCOMPARE(fileNames(sources.destinationText), (QStringList{"a.png", "b.png"}));
        QCOMPARE(sources.statuses.size(), 6); // five images started, then "Stopped"
        QCOMPARE(sources.statuses.constLast(), QStringLiteral("Stopped"));
        QCOMPARE(sources.beeps, 0);
        QVERIFY(!controller.isRunning());
    }
};

INKVALE_TEST_MAIN(BatchTest)
#include "batch_test.moc"
