#include "app/conversionlogdialog.h"
#include "app/mainwindow.h"
#include "imagelist/imageintake.h"
#include "imagelist/imagelistmodel.h"
#include "imagelist/imagelistview.h"
#include "imagelist/imagepreview.h"
#include "support/faketool.h"
#include "support/testenvironment.h"
#include "support/windowstandins.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolBar>
#include <QToolButton>

using namespace inkvale;
using test::FakeTool;

namespace {

// A shown, active window with the stand-in tool; keys go where the keyboard sends them.
struct Window
{
    FakeTool tool{FakeTool::Behaviour::RandomDelay};
    QTemporaryDir folder;
    test::RecordingDialogs dialogs;
    test::RecordingDesktop desktop;
    std::unique_ptr<MainWindow> form;

    Window()
    {
        form = std::make_unique<MainWindow>(
            test::standInEnvironment(tool.programFolder(), dialogs, desktop, false));
        form->show();
        form->activateWindow();
        [&] {
            QVERIFY(QTest::qWaitForWindowActive(form.get()));
        }();
    }

    const MainWindowUi &ui() const { return form->ui(); }

    // To the open pop-up menu, else to the focused control, as a keyboard does.
    static QWidget *keyTarget()
    {
        if (QWidget *popup = QApplication::activePopupWidget()) {
            return popup;
        }
        return QApplication::focusWidget();
    }

    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *target = keyTarget();
        QTest::keyClick(target ? target : form.get(), Qt::Key(key), modifiers);
    }

    void type(const QString &text) { QTest::keyClicks(keyTarget(), text); }

    QString picture(const QString &name)
    {
        const QString path = folder.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        test::writePicture(path, 40, 30);
        return path;
    }

    bool intakeDone() const
    {
        return QTest::qWaitFor([&] { return !form->intake().isBusy(); }, 20000);
    }

    // Two pictures added with Ctrl+O.
    void addTwo()
    {
        dialogs.fileAnswers.enqueue(
            {picture(QStringLiteral("a.png")), picture(QStringLiteral("b.png"))});
        press(Qt::Key_O, Qt::ControlModifier);
        QVERIFY(intakeDone());
        QCOMPARE(form->listModel().rowCount(), 2);
    }
};

// The key that an "&" marks in `text`, lower case; empty without one.
QString mnemonic(const QString &text)
{
    for (qsizetype at = 0; at + 1 < text.size(); ++at) {
        if (text.at(at) == QLatin1Char('&')) {
            if (text.at(at + 1) != QLatin1Char('&')) {
                return text.at(at + 1).toLower();
            }
            ++at;
        }
    }
    return {};
}

} // namespace

class KeyboardTest : public QObject
{
    Q_OBJECT

private slots:
    void theWholeJobByKeyboard_data();
    void theWholeJobByKeyboard();
    void tabLeavesTheListAndReachesEveryControl();
    void keysThatMoveTheSelectionShowThePreview_data();
    void keysThatMoveTheSelectionShowThePreview();
    void theListsMenuOpensFromTheKeyboard_data();
    void theListsMenuOpensFromTheKeyboard();
    void everyCommandHasItsKey();
};

void KeyboardTest::theWholeJobByKeyboard_data()
{
    QTest::addColumn<int>("convertKey");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("Ctrl+Return") << int(Qt::Key_Return)
                                 << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("Ctrl+Enter") << int(Qt::Key_Enter)
                                << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::KeypadModifier);
    QTest::newRow("F5") << int(Qt::Key_F5) << Qt::KeyboardModifiers();
}

void KeyboardTest::theWholeJobByKeyboard()
{
    QFETCH(int, convertKey);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    Window window;
    const MainWindowUi &ui = window.ui();

    // Add Files, then Add Folder.
    const QString fails = window.picture(QStringLiteral("fails.png"));
    QVERIFY(test::markForFakeTool(fails, "fail"));
    window.dialogs.fileAnswers.enqueue({window.picture(QStringLiteral("a.png")), fails});
    window.press(Qt::Key_O, Qt::ControlModifier);
    QVERIFY(window.intakeDone());
    const QString more = QFileInfo(window.picture(QStringLiteral("more/c.png"))).path();
    window.dialogs.folderAnswers.enqueue({more});
    window.press(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(window.intakeDone());
    QCOMPARE(window.form->listModel().rowCount(), 3);
    QVERIFY(window.dialogs.folderDialogs.last().second);

    // Format and effect through their labels' keys.
    window.press(Qt::Key_O, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), ui.formatBox);
    window.press(Qt::Key_Down);
    QCOMPARE(ui.formatBox->currentText(), QStringLiteral("JPG"));
    window.press(Qt::Key_E, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), ui.effectBox);
    window.press(Qt::Key_End);
    QCOMPARE(ui.effectBox->currentIndex(), ui.effectBox->count() - 1);

    // The destination: the folder button beside the field, then a sub-folder typed on.
    window.press(Qt::Key_D, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), ui.destinationEdit);
    window.press(Qt::Key_Tab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), ui.destinationButton);
    const QString chosen = window.folder.filePath(QStringLiteral("out"));
    window.dialogs.folderAnswers.enqueue({chosen});
    window.press(Qt::Key_Space);
    QCOMPARE(ui.destinationEdit->text(), chosen);
    window.press(Qt::Key_Tab);
    window.press(Qt::Key_End);
    window.type(QStringLiteral("/typed"));
    const QString destination = chosen + QStringLiteral("/typed");
    QCOMPARE(ui.destinationEdit->text(), destination);

    // Convert, from the field that has the focus.
    QSignalSpy finished(window.form.get(), &MainWindow::batchFinished);
    window.press(convertKey, modifiers);
    QVERIFY(finished.wait(60000));
    QCOMPARE(QDir(destination).entryList(QDir::Files),
             QStringList({QStringLiteral("a.jpg"), QStringLiteral("c.jpg")}));
    QCOMPARE(window.form->lastBatchResult().failures.size(), 1);

    // The conversion log, from the Help menu.
    window.press(Qt::Key_H, Qt::AltModifier);
    QVERIFY(QApplication::activePopupWidget() != nullptr);
    window.press(Qt::Key_L);
    ConversionLogDialog *log = nullptr;
    QTRY_VERIFY((log = window.form->findChild<ConversionLogDialog *>()) != nullptr &&
                log->isVisible());
    auto *failures = log->findChild<QListWidget *>(QStringLiteral("FailureList"));
    QVERIFY(failures != nullptr);
    QCOMPARE(failures->count(), 1);
    QVERIFY(failures->item(0)->text().endsWith(QStringLiteral("fails.png")));
}

void KeyboardTest::tabLeavesTheListAndReachesEveryControl()
{
    Window window;
    window.addTwo();
    const MainWindowUi &ui = window.ui();
    ui.imageList->setFocus();
    window.press(Qt::Key_Down);
    // Tab never moves between the list's cells: it goes on to the buttons under the list.
    window.press(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), ui.upButton);

    QList<QWidget *> visited;
    for (int step = 0; step < 40 && QApplication::focusWidget() != ui.imageList; ++step) {
        visited.append(QApplication::focusWidget());
        window.press(Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), ui.imageList);
    const QList<QWidget *> controls{ui.upButton,          ui.downButton,      ui.topButton,
                                    ui.bottomButton,      ui.formatBox,       ui.effectBox,
                                    ui.destinationButton, ui.destinationEdit, ui.convertButton};
    for (QWidget *control : controls) {
        QVERIFY2(visited.contains(control), qPrintable(control->objectName()));
    }
    // In the described order within the column.
    QVERIFY(visited.indexOf(ui.formatBox) < visited.indexOf(ui.effectBox));
    QVERIFY(visited.indexOf(ui.effectBox) < visited.indexOf(ui.destinationButton));
    QVERIFY(visited.indexOf(ui.destinationButton) < visited.indexOf(ui.destinationEdit));
    QVERIFY(visited.indexOf(ui.destinationEdit) < visited.indexOf(ui.convertButton));
}

void KeyboardTest::keysThatMoveTheSelectionShowThePreview_data()
{
    QTest::addColumn<int>("startRow"); // -1: none selected
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("shownRow"); // -1: no render starts
    const Qt::KeyboardModifiers none;
    QTest::newRow("Down") << 0 << int(Qt::Key_Down) << none << 1;
    QTest::newRow("Up") << 2 << int(Qt::Key_Up) << none << 1;
    QTest::newRow("End") << 0 << int(Qt::Key_End) << none << 2;
    QTest::newRow("Home") << 2 << int(Qt::Key_Home) << none << 0;
    // The first selected row stays the same, and so does its picture.
    QTest::newRow("Shift+Down") << 0 << int(Qt::Key_Down)
                                << Qt::KeyboardModifiers(Qt::ShiftModifier) << -1;
    QTest::newRow("Up at the top") << 0 << int(Qt::Key_Up) << none << -1;
    // As Tab leaves it: the first row current, nothing selected.
    QTest::newRow("Space on the current row") << -1 << int(Qt::Key_Space) << none << 0;
}

void KeyboardTest::keysThatMoveTheSelectionShowThePreview()
{
    QFETCH(int, startRow);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, shownRow);
    Window window;
    window.addTwo();
    window.dialogs.fileAnswers.enqueue({window.picture(QStringLiteral("c.png"))});
    window.press(Qt::Key_O, Qt::ControlModifier);
    QVERIFY(window.intakeDone());
    const MainWindowUi &ui = window.ui();
    ui.showPreviewAction->trigger();
    ui.imageList->setFocus();
    // Chosen by the program: no preview yet.
    if (startRow >= 0) {
        ui.imageList->selectRow(startRow);
    } else {
        ui.imageList->clearSelection();
        ui.imageList->selectionModel()->setCurrentIndex(window.form->listModel().index(0, 0),
                                                        QItemSelectionModel::NoUpdate);
    }
    QSignalSpy status(&window.form->preview(), &ImagePreview::statusChanged);
    QSignalSpy ended(&window.form->preview(), &ImagePreview::renderEnded);

    window.press(key, modifiers);
    if (shownRow < 0) {
        QVERIFY(!window.form->preview().isBusy());
        QCOMPARE(status.count(), 0);
        return;
    }
    QVERIFY(ended.wait(20000));
    QCOMPARE(ended.last().at(0).toString(), window.form->listModel().path(shownRow));
}

void KeyboardTest::theListsMenuOpensFromTheKeyboard_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("menu key") << int(Qt::Key_Menu) << Qt::KeyboardModifiers();
    QTest::newRow("Shift+F10") << int(Qt::Key_F10) << Qt::KeyboardModifiers(Qt::ShiftModifier);
}

void KeyboardTest::theListsMenuOpensFromTheKeyboard()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    Window window;
    window.addTwo();
    const MainWindowUi &ui = window.ui();
    ui.imageList->setFocus();
    ui.imageList->selectRow(0);
    window.press(Qt::Key_End);
    window.press(key, modifiers);
    QCOMPARE(QApplication::activePopupWidget(), ui.listMenu);
    // At the current row.
    const QRect row = ui.imageList->visualRect(window.form->listModel().index(1, 0));
    QCOMPARE(ui.listMenu->pos(), ui.imageList->viewport()->mapToGlobal(row.center()));
    window.press(Qt::Key_D); // "Delete Selected"
    QTRY_COMPARE(window.form->listModel().rowCount(), 1);
    QCOMPARE(window.form->listModel().path(0), window.folder.filePath(QStringLiteral("a.png")));
}

void KeyboardTest::everyCommandHasItsKey()
{
    Window window;
    const MainWindowUi &ui = window.ui();
    // The toolbar keeps out of the Tab chain, as desktop programs' toolbars do; each of its
    // commands is in a menu and so reachable by Alt and its letters.
    QList<QAction *> menuActions;
    QStringList titleKeys;
    QList<QMenu *> allMenus{ui.listMenu};
    for (QAction *title : window.form->menuBar()->actions()) {
        QVERIFY2(!mnemonic(title->text()).isEmpty(), qPrintable(title->text()));
        titleKeys.append(mnemonic(title->text()));
        allMenus.append(title->menu());
    }
    // Sub-menus are walked as they are met.
    for (qsizetype at = 0; at < allMenus.size(); ++at) {
        QStringList keys;
        for (QAction *item : allMenus.at(at)->actions()) {
            if (item->isSeparator()) {
                continue;
            }
            if (item->menu()) {
                allMenus.append(item->menu());
            }
            menuActions.append(item);
            const QString key = mnemonic(item->text());
            QVERIFY2(!key.isEmpty(), qPrintable(item->text()));
            QVERIFY2(!keys.contains(key), qPrintable(item->text()));
            keys.append(key);
        }
    }
    for (QAction *command : ui.toolBar->actions()) {
        if (!command->isSeparator()) {
            QVERIFY2(menuActions.contains(command), qPrintable(command->iconText()));
        }
    }

    // Alt with a letter means one thing in the window: a menu, a label's control or a button.
    QStringList windowKeys = titleKeys;
    for (QLabel *label : window.form->findChildren<QLabel *>()) {
        if (const QString key = mnemonic(label->text()); !key.isEmpty()) {
            QVERIFY2(label->buddy() != nullptr, qPrintable(label->text()));
            windowKeys.append(key);
        }
    }
    for (QAbstractButton *button : window.form->findChildren<QAbstractButton *>()) {
        if (const QString key = mnemonic(button->text()); !key.isEmpty()) {
            windowKeys.append(key);
        }
    }
    for (const QString &key : std::as_const(windowKeys)) {
        QVERIFY2(windowKeys.count(key) == 1, qPrintable(QStringLiteral("Alt+") + key));
    }

    // The usual keys of the commands.
    const QList<QPair<QAction *, QKeySequence>> keys{
        {ui.addFilesAction, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {ui.addFolderAction, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)},
        {ui.onlineHelpAction, QKeySequence(Qt::Key_F1)},
    };
    for (const auto &[command, key] : keys) {
        QCOMPARE(command->shortcut(), key);
    }
}

INKVALE_GUI_TEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
