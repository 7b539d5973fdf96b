#include "imagelist/giffixture.h"
#include "imagelist/imageintake.h"
#include "imagelist/imagelistmodel.h"
#include "support/testenvironment.h"

#include <algorithm>
#include <memory>
#include <QDir>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QImageReader>
#include <QPointer>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

using namespace inkvale;

namespace {

// Everything the intake tells, in the order it tells it: "row <path>", "failed <path>",
// "handled".
class Recorder : public QObject
{
public:
    QStringList events;
    QStringList messages;

    Recorder(ImageIntake &intake, ImageListModel &model)
    {
        connect(&model, &QAbstractItemModel::rowsInserted, this,
                [this, &model](const QModelIndex &, int first, int last) {
                    for (int row = first; row <= last; ++row) {
                        events.append("row " + model.path(row));
                    }
                });
        connect(&intake, &ImageIntake::fileFailed, this,
                [this](const QString &path, const QString &message) {
                    events.append("failed " + path);
                    messages.append(message);
                });
        connect(&intake, &ImageIntake::fileHandled, this,
                [this] { events.append(QStringLiteral("handled")); });
    }
};

QStringList rowsOf(const QStringList &paths)
{
    QStringList events;
    for (const QString &path : paths) {
        events << "row " + path << "handled";
    }
    return events;
}

// Decoders report back through watchers the intake owns and deletes once their result is
// in: with none left, no result of earlier work is on its way.
QList<QPointer<QFutureWatcherBase>> watchersOf(const ImageIntake &intake)
{
    const auto watchers = intake.findChildren<QFutureWatcherBase *>();
    return {watchers.begin(), watchers.end()};
}

bool allGone(const QList<QPointer<QFutureWatcherBase>> &watchers)
{
    return std::all_of(
        watchers.begin(), watchers.end(),
        [](const QPointer<QFutureWatcherBase> &watcher) { return watcher.isNull(); });
}

QStringList paths(const ImageListModel &model)
{
    QStringList result;
    for (int i = 0; i < model.rowCount(); ++i) {
        result.append(model.path(i));
    }
    return result;
}

} // namespace

class ImageIntakeTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_work;

    // A picture in the format its extension names (GIF included), made once.
    QString picture(const QString &relative, int width = 6, int height = 4)
    {
        const QString path = m_work.filePath(relative);
        if (!QFileInfo::exists(path)) {
            QDir().mkpath(QFileInfo(path).path());
            const bool written = QFileInfo(path).suffix().compare("gif", Qt::CaseInsensitive) == 0
                                     ? test::writeGif(path, width, height)
                                     : test::writePicture(path, width, height);
            if (!written) {
                qFatal("cannot write %s", qPrintable(path));
            }
        }
        return path;
    }

    QString textFile(const QString &relative)
    {
        const QString path = m_work.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write("no picture\n") < 0) {
            qFatal("cannot write %s", qPrintable(path));
        }
        return path;
    }

    // Small pictures named <prefix>00.png, <prefix>01.png, ...
    QStringList pictures(const QString &prefix, int count)
    {
        QStringList result;
        for (int i = 0; i < count; ++i) {
            result.append(picture(prefix + QString::asprintf("%02d.png", i), 5 + i, 3));
        }
        return result;
    }

    static bool waitUntilIdle(const ImageIntake &intake)
    {
        return QTest::qWaitFor([&intake] { return !intake.isBusy(); }, 60000);
    }

private slots:
    void initTestCase() { QVERIFY(m_work.isValid()); }

    void folderGivesItsAcceptedFilesOnly_data()
    {
        QTest::addColumn<bool>("dropped");
        QTest::addColumn<QString>("suffix"); // appended to the folder's path
        QTest::newRow("Add Folder") << false << "";
        QTest::newRow("dropped") << true << "";
        QTest::newRow("dropped with a trailing slash") << true << "/";
    }

    void folderGivesItsAcceptedFilesOnly()
    {
        QFETCH(bool, dropped);
        QFETCH(QString, suffix);
        // A folder named like a picture, holding a sub-folder named like one as well.
        const QString folder = m_work.filePath(QStringLiteral("holiday.png"));
        picture("holiday.png/a.PNG");
        picture("holiday.png/b.jpeg");
        picture("holiday.png/.h.png");
        picture("holiday.png/d/e.png");
        picture("holiday.png/f.png/g.png");
        picture("holiday.png/scan"); // no extension
        textFile("holiday.png/c.txt");

        ImageListModel model;
        ImageIntake intake(model);
        Recorder recorder(intake, model);
        if (dropped) {
            intake.addDropped({folder + suffix});
        } else {
            intake.addFolders({folder + suffix});
        }
        QVERIFY(waitUntilIdle(intake));

        QCOMPARE(recorder.events,
                 rowsOf({folder + "/.h.png", folder + "/a.PNG", folder + "/b.jpeg"}));
    }

    void foldersThatCannotBeReadAddNothing()
    {
        ImageListModel model;
        ImageIntake intake(model);
        Recorder recorder(intake, model);
        const QString missing = m_work.filePath(QStringLiteral("no such folder"));
        intake.addFolders({missing});
        intake.addDropped({missing});
        QVERIFY(waitUntilIdle(intake));
        QVERIFY(recorder.events.isEmpty());
    }

    void foldersAreAddedInTheirOrder()
    {
        const QStringList first = pictures("order/first/", 3);
        const QStringList second = pictures("order/second/", 2);
        ImageListModel model;
        ImageIntake intake(model);
        intake.addFolders({m_work.filePath("order/second"), m_work.filePath("order/first")});
        QVERIFY(waitUntilIdle(intake));
        QCOMPARE(paths(model), second + first);
    }

    void dropKeepsItsOrderWithFoldersInPlace()
    {
        const QString x = picture("drop/x.png");
        const QString folder = m_work.filePath("drop/folder");
        const QStringList inside = {picture("drop/folder/a.png"), picture("drop/folder/b.bmp")};
        const QString y = picture("drop/y.gif");
        ImageListModel model;
        ImageIntake intake(model);
        Recorder recorder(intake, model);
        intake.addDropped({x, folder, y});
        QVERIFY(waitUntilIdle(intake));
        QCOMPARE(recorder.events, rowsOf(QStringList{x} + inside + QStringList{y}));
    }

    void droppedFilesOfOtherKindsAreIgnoredSilently()
    {
        // Real pictures, but not of the kinds a drop takes.
        const QString jfif = m_work.filePath("other/photo.jfif");
        QDir().mkpath(m_work.filePath("other"));
        QVERIFY(QImage(picture("other/photo.jpg")).save(jfif, "JPEG"));
        const QString icon = picture("other/icon.ico", 16, 16);
        const QString notes = textFile("other/notes.txt");
        ImageListModel model;
        ImageIntake intake(model);
        Recorder recorder(intake, model);
        QSignalSpy busy(&intake, &ImageIntake::busyChanged);
        intake.addDropped({jfif, icon, notes});
        QVERIFY(waitUntilIdle(intake));
        QVERIFY(recorder.events.isEmpty());
        QCOMPARE(busy.size(), 2); // true, then false
    }

    void addFilesTakesAnyExtension()
    {
        if (!QImageReader::supportedImageFormats().contains("ico")) {
            QSKIP("this Qt has no icon decoder");
        }
        const QString icon = picture("any/icon.ico", 48, 32);
        ImageListModel model;
        ImageIntake intake(model);
        intake.addFiles({icon});
        QVERIFY(waitUntilIdle(intake));
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.row(0).width, 48);
        QCOMPARE(model.row(0).height, 32);
    }

    void unreadableFileIsReportedWithoutARow()
    {
        const QString notes = textFile("unreadable/notes.txt");
        ImageListModel model;
        ImageIntake intake(model);
        Recorder recorder(intake, model);
        intake.addFiles({notes});
        QVERIFY(waitUntilIdle(intake));
        QCOMPARE(recorder.events, (QStringList{"failed " + notes, "handled"}));
        QVERIFY2(recorder.messages.constFirst().contains("format", Qt::CaseInsensitive),
                 qPrintable(recorder.messages.constFirst()));
        QCOMPARE(model.rowCount(), 0);
    }

    void theSameFileTwiceGivesTwoRows()
    {
        const QString path = picture("twice/p.png", 7, 5);
        ImageListModel model;
        ImageIntake intake(model);
        Recorder recorder(intake, model);
        intake.addFiles({path, path});
        QVERIFY(waitUntilIdle(intake));
        QCOMPARE(recorder.events, rowsOf({path, path}));
        QCOMPARE(model.row(1).width, 7);
    }

    // Large pictures first and small ones after: the small ones finish first but wait their
    // turn, within a call and across calls.
    void rowsComeInIntakeOrderWhateverFinishesFirst()
    {
        const QString big1 = picture("slow/big1.jpg", 3000, 2000);
        const QString big2 = picture("slow/big2.jpg", 3000, 2000);
        const QStringList small = pictures("slow/small", 40);
        ImageListModel model;
        ImageIntake intake(model);
        Recorder recorder(intake, model);
        intake.addFiles(QStringList{big1} + small.mid(0, 15));
        intake.addDropped(QStringList{big2} + small.mid(15, 15));
        intake.addFiles(small.mid(30));
        QVERIFY(waitUntilIdle(intake));
        QCOMPARE(recorder.events,
                 rowsOf(QStringList{big1} + small.mid(0, 15) + QStringList{big2} + small.mid(15)));
    }

    void failuresComeInTheirPlace()
    {
        const QString good1 = picture("mixed/1.png");
        const QString notes = textFile("mixed/2.txt");
        const QString good2 = picture("mixed/3.jpg");
        const QString missing = m_work.filePath("mixed/4 missing.png");
        const QString good3 = picture("mixed/5.gif");
        ImageListModel model;
        ImageIntake intake(model);
        Recorder recorder(intake, model);
        intake.addFiles({good1, notes, good2, missing, good3});
        QVERIFY(waitUntilIdle(intake));
        QCOMPARE(
            recorder.events,
            (QStringList{"row " + good1, "handled", "failed " + notes, "handled", "row " + good2,
                         "handled", "failed " + missing, "handled", "row " + good3, "handled"}));
        QCOMPARE(recorder.messages.size(), 2);
    }

    // The window shows failures in a modal box, which runs its own event loop.
    void nothingIsAddedWhileAFailureIsShown()
    {
        const QString bad1 = textFile("modal/1.txt");
        const QString bad2 = textFile("modal/2.txt");
        const QStringList good = pictures("modal/good", 10);
        ImageListModel model;
        ImageIntake intake(model);
        int depth = 0;
        int deepest = 0;
        QList<int> rowsWhileShown;
        connect(&intake, &ImageIntake::fileFailed, this, [&] {
            ++depth;
            deepest = std::max(deepest, depth);
            rowsWhileShown.append(model.rowCount());
            // The box stays until every other picture is decoded and waits to be added.
            QEventLoop box;
            QTimer poll;
            connect(&poll, &QTimer::timeout, &box, [&] {
                const auto watchers = intake.findChildren<QFutureWatcherBase *>();
                if (std::all_of(
                        watchers.begin(), watchers.end(),
                        [](const QFutureWatcherBase *watcher) { return watcher->isFinished(); })) {
                    box.quit();
                }
            });
            poll.start(5);
            box.exec();
            rowsWhileShown.append(model.rowCount());
            --depth;
        });
        intake.addFiles(QStringList{bad1} + good.mid(0, 5) + QStringList{bad2} + good.mid(5));
        QVERIFY(waitUntilIdle(intake));
        QCOMPARE(deepest, 1);
        QCOMPARE(rowsWhileShown, (QList<int>{0, 0, 5, 5}));
        QCOMPARE(paths(model), good);
    }

    void cancelDropsPendingAndRunningWork_data()
    {
        QTest::addColumn<int>("cancelAfter"); // rows; -1: before any result came back
        QTest::addColumn<bool>("folder");
        QTest::newRow("before any result") << -1 << false;
        QTest::newRow("after the third row") << 3 << false;
        QTest::newRow("while a folder is read") << -1 << true;
    }

    void cancelDropsPendingAndRunningWork()
    {
        QFETCH(int, cancelAfter);
        QFETCH(bool, folder);
        const QStringList files = pictures("cancel/", 30);
        const QString later = picture("cancel-later/later.png");
        ImageListModel model;
        ImageIntake intake(model);
        QSignalSpy busy(&intake, &ImageIntake::busyChanged);
        connect(&intake, &ImageIntake::fileHandled, this, [&] {
            if (model.rowCount() == cancelAfter) {
                intake.cancel();
            }
        });
        if (folder) {
            intake.addFolders({m_work.filePath("cancel")});
        } else {
            intake.addFiles(files);
        }
        if (cancelAfter < 0) {
            intake.cancel();
        }
        QVERIFY(waitUntilIdle(intake));
        const int kept = std::max(cancelAfter, 0);
        QCOMPARE(model.rowCount(), kept);
        QCOMPARE(busy.size(), 2);

        // Results of the dropped work must not land among the next call's rows.
        intake.addFiles({later});
        QVERIFY(waitUntilIdle(intake));
        QTRY_VERIFY(watchersOf(intake).isEmpty());
        QCOMPARE(paths(model), files.mid(0, kept) + QStringList{later});
    }

    void destroyingWhileBusyDropsTheWork()
    {
        const QStringList files = pictures("destroy/", 20);
        ImageListModel model;
        auto intake = std::make_unique<ImageIntake>(model);
        intake->addFiles(files);
        intake->addFolders({m_work.filePath("destroy")});
        const auto watchers = watchersOf(*intake);
        QVERIFY(!watchers.isEmpty());
        intake.reset();
        // Nothing is left that could bring a result of the running decoders back.
        QVERIFY(allGone(watchers));
        QCOMPARE(model.rowCount(), 0);
    }

    // The window may go, and the intake with it, while it shows a failure.
    void destroyingFromAFailureSlotStopsTheIntake()
    {
        const QString bad = textFile("destroy-in-slot/bad.txt");
        const QStringList good = pictures("destroy-in-slot/good", 5);
        ImageListModel model;
        auto intake = std::make_unique<ImageIntake>(model);
        int failures = 0;
        QList<QPointer<QFutureWatcherBase>> watchers;
        connect(intake.get(), &ImageIntake::fileFailed, this, [&] {
            ++failures;
            watchers = watchersOf(*intake);
            intake.reset();
        });
        intake->addFiles(QStringList{good.at(0), bad} + good.mid(1));
        QVERIFY(QTest::qWaitFor([&intake] { return !intake; }, 60000));
        QVERIFY(allGone(watchers));
        QCOMPARE(failures, 1);
        QCOMPARE(paths(model), good.mid(0, 1));
    }

    // Several intakes at once, each told apart: what it added and what failed, once, when its
    // last file is handled.
    void eachIntakeFinishesWithItsOwnOutcome()
    {
        const QStringList good = pictures("outcome/good", 4);
        const QString bad = textFile("outcome/bad.txt");
        const QString missing = m_work.filePath("outcome/missing.png");
        QDir().mkpath(m_work.filePath("outcome/empty"));
        ImageListModel model;
        ImageIntake intake(model);
        QStringList finished;
        connect(&intake, &ImageIntake::intakeFinished, this,
                [&](quint64 id, int added, const QList<ImageIntake::Failure> &failures) {
                    QStringList failed;
                    for (const ImageIntake::Failure &failure : failures) {
                        failed.append(QFileInfo(failure.path).fileName());
                        QVERIFY(!failure.message.isEmpty());
                    }
                    finished.append(
                        QStringLiteral("%1: %2 [%3]").arg(id).arg(added).arg(failed.join(u' ')));
                });

        const quint64 files = intake.addFiles({good[0], bad, good[1]});
        const quint64 folders =
            intake.addFolders({m_work.filePath("outcome/empty"), m_work.filePath("outcome")});
        const quint64 dropped = intake.addDropped({bad, m_work.filePath("outcome/empty")});
        const quint64 opened = intake.addOpened({missing});
        QCOMPARE(intake.addFiles({}), quint64(0));
        // Never from within the call.
        QVERIFY(finished.isEmpty());
        QVERIFY(waitUntilIdle(intake));

        QCOMPARE(QSet<quint64>({files, folders, dropped, opened}).size(), 4);
        QCOMPARE(finished, (QStringList{QStringLiteral("%1: 2 [bad.txt]").arg(files),
                                        QStringLiteral("%1: 4 []").arg(folders),
                                        QStringLiteral("%1: 0 []").arg(dropped),
                                        QStringLiteral("%1: 0 [missing.png]").arg(opened)}));
    }

    // Clear: the intakes still running end with what they did so far.
    void cancelFinishesTheRunningIntakes()
    {
        const QStringList files = pictures("cancel-outcome/", 20);
        ImageListModel model;
        ImageIntake intake(model);
        QList<quint64> finished;
        connect(&intake, &ImageIntake::intakeFinished, this,
                [&](quint64 id, int added, const QList<ImageIntake::Failure> &) {
                    finished.append(id);
                    QVERIFY(added < 20);
                });
        const quint64 first = intake.addFiles(files.mid(0, 10));
        const quint64 second = intake.addFiles(files.mid(10));
        const auto watchers = watchersOf(intake);
        intake.cancel();
        QCOMPARE(finished, (QList<quint64>{first, second}));
        QTRY_VERIFY(allGone(watchers));
        QCOMPARE(finished.size(), 2);
    }

    void busyIsTrueUntilTheLastFile()
    {
        const QStringList files = pictures("busy/", 4);
        ImageListModel model;
        ImageIntake intake(model);
        QSignalSpy busy(&intake, &ImageIntake::busyChanged);
        intake.addFiles(files.mid(0, 2));
        QVERIFY(intake.isBusy());
        intake.addDropped(files.mid(2));
        QVERIFY(waitUntilIdle(intake));
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(busy.size(), 2);
        QCOMPARE(busy.at(0).at(0).toBool(), true);
        QCOMPARE(busy.at(1).at(0).toBool(), false);
    }

    void longDroppedPathIsUsedWhole()
    {
        QString relative = QStringLiteral("deep");
        for (int level = 0; level < 5; ++level) {
            relative += QLatin1Char('/') + QString(60, QChar(u'a' + level));
        }
        const QString path = picture(relative + "/deep.png", 9, 8);
        QVERIFY(path.size() > 300);
        ImageListModel model;
        ImageIntake intake(model);
        Recorder recorder(intake, model);
        intake.addDropped({path});
        QVERIFY(waitUntilIdle(intake));
        QCOMPARE(recorder.events, rowsOf({path}));
    }
};

INKVALE_TEST_MAIN(ImageIntakeTest)
#include "imageintake_test.moc"
