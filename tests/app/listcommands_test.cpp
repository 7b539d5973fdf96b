#include "app/mainwindow.h"
#include "base/fspath.h"
#include "imagelist/imageintake.h"
#include "imagelist/imagelistmodel.h"
#include "imagelist/imagelistview.h"
#include "platform/shellactions.h"
#include "support/testenvironment.h"
#include "support/windowstandins.h"

#include <mutex>
#include <QAction>
#include <QDir>
#include <QFutureWatcher>
#include <QMimeData>
#include <QProgressBar>
#include <QThreadPool>
#include <QToolButton>

using namespace inkvale;

namespace {

// Records requests from any thread; nothing answers.
class RecordingLauncher : public platform::ShellLauncher
{
public:
    bool send(const platform::ShellRequest &request) override
    {
        const std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
        return false;
    }
    std::vector<platform::ShellRequest> requests()
    {
        const std::lock_guard lock(m_mutex);
        return m_requests;
    }

private:
    std::mutex m_mutex;
    std::vector<platform::ShellRequest> m_requests;
};

// The window with rows A.png ... from a folder of its own.
struct Window
{
    QTemporaryDir folder;
    test::RecordingDialogs dialogs;
    test::RecordingDesktop desktop;
    RecordingLauncher shell;
    std::unique_ptr<MainWindow> form;

    Window()
    {
        MainWindow::Environment environment =
            test::standInEnvironment(folder.path(), dialogs, desktop, false);
        environment.shell = &shell;
        form = std::make_unique<MainWindow>(environment);
        form->show();
    }

    QString picture(const QString &name)
    {
        const QString path = folder.filePath(name + QStringLiteral(".png"));
        test::writePicture(path, 8, 6);
        return path;
    }

    void add(const QString &letters)
    {
        QStringList paths;
        for (const QChar letter : letters) {
            paths.append(picture(QString(letter)));
        }
        dialogs.fileAnswers.enqueue(paths);
        form->addFiles();
        QVERIFY(QTest::qWaitFor([this] { return !form->intake().isBusy(); }, 20000));
    }

    ImageListView &list() const { return *form->ui().imageList; }

    void select(const QList<int> &rows)
    {
        list().clearSelection();
        for (int row : rows) {
            list().selectionModel()->select(form->listModel().index(row, 0),
                                            QItemSelectionModel::Select |
                                                QItemSelectionModel::Rows);
        }
    }

    QString order() const
    {
        QString result;
        for (int i = 0; i < form->listModel().rowCount(); ++i) {
            result += QFileInfo(form->listModel().path(i)).baseName();
        }
        return result;
    }
};

} // namespace

class ListCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void buttonsMoveTheCurrentRow();
    void deleteKeyWithAnyModifiers_data();
    void deleteKeyWithAnyModifiers();
    void popupDeletesRewriteTheCount();
    void deleteAllEndsAFolderIntake();
    void aLoadingFolderShowsItsProgress();
    void filesDroppedOnTheListAreAddedNotMoved();
    void rowsDraggedWithinTheListMoveAndAddNothing_data();
    void rowsDraggedWithinTheListMoveAndAddNothing();
    void shellActionsOnTheCurrentRow();
    void shellActionsWithoutACurrentRowDoNothing();
};

void ListCommandsTest::buttonsMoveTheCurrentRow()
{
    Window window;
    window.add(QStringLiteral("ABCD"));
    const QString count = window.form->statusText();
    window.select({1});
    const MainWindowUi &ui = window.form->ui();
    ui.bottomButton->click();
    QCOMPARE(window.order(), QStringLiteral("ACDB"));
    ui.topButton->click();
    QCOMPARE(window.order(), QStringLiteral("BACD"));
    ui.downButton->click();
    QCOMPARE(window.order(), QStringLiteral("ABCD"));
    ui.upButton->click();
    QCOMPARE(window.order(), QStringLiteral("BACD"));
    QCOMPARE(window.list().currentRow(), 0);
    QCOMPARE(window.form->statusText(), count);
}

void ListCommandsTest::deleteKeyWithAnyModifiers_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("Delete") << Qt::KeyboardModifiers(Qt::NoModifier);
    QTest::newRow("Shift+Delete") << Qt::KeyboardModifiers(Qt::ShiftModifier);
    QTest::newRow("Ctrl+Delete") << Qt::KeyboardModifiers(Qt::ControlModifier);
}

void ListCommandsTest::deleteKeyWithAnyModifiers()
{
    QFETCH(Qt::KeyboardModifiers, modifiers);
    Window window;
    window.add(QStringLiteral("ABCDE"));
    window.select({1, 3});
    QTest::keyClick(&window.list(), Qt::Key_Delete, modifiers);
    QCOMPARE(window.order(), QStringLiteral("ACE"));
    QCOMPARE(window.form->statusText(), QStringLiteral("3 files"));
    // Other keys keep the list's own handling.
    window.select({0});
    QTest::keyClick(&window.list(), Qt::Key_Down);
    QCOMPARE(window.order(), QStringLiteral("ACE"));
}

void ListCommandsTest::popupDeletesRewriteTheCount()
{
    Window window;
    window.add(QStringLiteral("ABCD"));
    window.select({0, 1, 3});
    window.form->ui().deleteSelectedAction->trigger();
    QCOMPARE(window.order(), QStringLiteral("C"));
    QCOMPARE(window.form->statusText(), QStringLiteral("1 file"));
    window.form->ui().deleteAllAction->trigger();
    QCOMPARE(window.form->listModel().rowCount(), 0);
    QCOMPARE(window.form->statusText(), QStringLiteral("0 files"));
}

// A folder of `count` pictures, added through "Add Folder".
void addFolderOf(Window &window, int count)
{
    const QDir root(window.folder.path());
    QVERIFY(root.mkpath(QStringLiteral("many")));
    const QDir many(root.filePath(QStringLiteral("many")));
    for (int i = 1; i <= count; ++i) {
        QVERIFY(test::writePicture(many.filePath(QStringLiteral("p%1.png").arg(i)), 8, 6));
    }
    window.dialogs.folderAnswers.enqueue({many.path()});
    window.form->addFolder();
}

void ListCommandsTest::deleteAllEndsAFolderIntake()
{
    Window window;
    QObject context;
    // The first row of the folder is in; the rest are still on their way.
    connect(&window.form->intake(), &ImageIntake::fileHandled, &context, [&] {
        QObject::disconnect(&window.form->intake(), nullptr, &context, nullptr);
        QVERIFY(window.form->intake().isBusy());
        window.form->ui().deleteAllAction->trigger();
    });
    addFolderOf(window, 40);
    QVERIFY(QTest::qWaitFor([&] { return !window.form->intake().isBusy(); }, 20000));
    // The decoders still running report through watchers the intake owns; once those are
    // gone, nothing more can arrive.
    QTRY_VERIFY(window.form->intake().findChildren<QFutureWatcherBase *>().isEmpty());
    QCOMPARE(window.form->listModel().rowCount(), 0);
    QCOMPARE(window.form->statusText(), QStringLiteral("0 files"));

    // The next intake starts afresh.
    window.add(QStringLiteral("AB"));
    QCOMPARE(window.order(), QStringLiteral("AB"));
}

void ListCommandsTest::aLoadingFolderShowsItsProgress()
{
    Window window;
    auto *progress = window.form->findChild<QProgressBar *>(QStringLiteral("StatusProgress"));
    QVERIFY(progress);
    QList<QPair<int, int>> seen;
    connect(&window.form->intake(), &ImageIntake::fileHandled, progress, [&] {
        QVERIFY(progress->isVisible());
        seen.append({progress->value(), progress->maximum()});
        // The count text counts the rows present.
        QCOMPARE(window.form->statusText(),
                 QStringLiteral("%1 file%2").arg(seen.size()).arg(seen.size() == 1 ? "" : "s"));
    });
    addFolderOf(window, 12);
    QVERIFY(QTest::qWaitFor([&] { return !window.form->intake().isBusy(); }, 20000));
    QCOMPARE(seen.size(), 12);
    for (int i = 0; i < seen.size(); ++i) {
        QCOMPARE(seen[i], qMakePair(i + 1, 12));
    }
    QVERIFY(!progress->isVisible());
    QCOMPARE(window.form->statusText(), QStringLiteral("12 files"));
}

void ListCommandsTest::filesDroppedOnTheListAreAddedNotMoved()
{
    Window window;
    window.add(QStringLiteral("ABC"));
    window.select({0});
    const QString dropped = window.picture(QStringLiteral("D"));

    // Dropped onto the first row, as from the file manager.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(dropped)});
    QWidget *viewport = window.list().viewport();
    const QPoint at = window.list().visualRect(window.form->listModel().index(0, 0)).center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QVERIFY(enter.isAccepted());
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    QVERIFY(QTest::qWaitFor([&] { return !window.form->intake().isBusy(); }, 20000));

    QCOMPARE(window.order(), QStringLiteral("ABCD"));
    QCOMPARE(window.list().currentRow(), 0);
}

void ListCommandsTest::rowsDraggedWithinTheListMoveAndAddNothing_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("onto"); // -1: below the rows
    QTest::addColumn<QString>("order");
    QTest::newRow("B onto D") << 1 << 3 << "ACBD";
    QTest::newRow("D onto B") << 3 << 1 << "ADBC";
    QTest::newRow("below the rows") << 1 << -1 << "ABCD";
}

void ListCommandsTest::rowsDraggedWithinTheListMoveAndAddNothing()
{
    QFETCH(int, from);
    QFETCH(int, onto);
    Window window;
    window.add(QStringLiteral("ABCD"));
    ImageListView &list = window.list();
    list.resize(list.width(), 400);
    window.select({from});
    const QPoint at = onto < 0 ? QPoint(10, list.viewport()->height() - 5)
                               : list.visualRect(window.form->listModel().index(onto, 0)).center();
    std::unique_ptr<QMimeData> data(list.rowDragData());

    QDragEnterEvent enter(at, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &drop);

    QTEST(window.order(), "order");
    QCOMPARE(list.currentRow(), onto < 0 ? from : -1);
    QVERIFY(!window.form->intake().isBusy());

    // The same drag let go over the window elsewhere is no file drop.
    QDragEnterEvent elsewhere(QPoint(5, 5), Qt::MoveAction, data.get(), Qt::LeftButton,
                              Qt::NoModifier);
    QApplication::sendEvent(window.form.get(), &elsewhere);
    QVERIFY(!elsewhere.isAccepted());
}

void ListCommandsTest::shellActionsOnTheCurrentRow()
{
    Window window;
    // Characters a shell would act on, in a name every system allows.
    const QString path = window.picture(QStringLiteral("a 'b' & $c"));
    window.dialogs.fileAnswers.enqueue({path});
    window.form->addFiles();
    QVERIFY(QTest::qWaitFor([&] { return !window.form->intake().isBusy(); }, 20000));
    window.select({0});
    const MainWindowUi &ui = window.form->ui();

    ui.openAction->trigger();
    QCOMPARE(window.desktop.openedUrls, QList<QUrl>{QUrl::fromLocalFile(path)});

    // The window asks what the platform layer asks for that file (its own tests check the
    // requests of each desktop); nothing answers here, so each fallback is taken too.
    RecordingLauncher expected;
    platform::showInFolder(toFsPath(path), expected);
    const std::size_t afterFolder = expected.requests().size();
    platform::showFileProperties(toFsPath(path), expected);
    ui.openFolderLocationAction->trigger();
    // The request leaves on a worker thread.
    QTRY_COMPARE(window.shell.requests().size(), afterFolder);
    ui.propertiesAction->trigger();
    QTRY_COMPARE(window.shell.requests().size(), expected.requests().size());
    QVERIFY(window.shell.requests() == expected.requests());
    QVERIFY2(window.dialogs.messages.isEmpty(), qPrintable(window.dialogs.messages.value(0).text));
}

void ListCommandsTest::shellActionsWithoutACurrentRowDoNothing()
{
    Window window;
    window.add(QStringLiteral("AB"));
    window.select({});
    const MainWindowUi &ui = window.form->ui();
    for (QAction *action : {ui.openAction, ui.openFolderLocationAction, ui.propertiesAction,
                            ui.deleteSelectedAction}) {
        action->trigger();
    }
    // Requests leave on the shared worker threads: any that was sent has arrived by now.
    QVERIFY(QThreadPool::globalInstance()->waitForDone(10000));
    QVERIFY(window.shell.requests().empty());
    QVERIFY(window.desktop.openedUrls.isEmpty());
    QCOMPARE(window.order(), QStringLiteral("AB"));
}

INKVALE_GUI_TEST_MAIN(ListCommandsTest)
#include "listcommands_test.moc"
