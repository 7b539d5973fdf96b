#include "app/appsettings.h"
#include "app/conversionchoices.h"
#include "app/conversionlogdialog.h"
#include "app/mainwindow.h"
#include "app/statuspanel.h"
#include "app/windowbatchrun.h"
#include "imagelist/imageintake.h"
#include "imagelist/imagelistmodel.h"
#include "imagelist/imagelistview.h"
#include "imagelist/previewpicture.h"
#include "support/faketool.h"
#include "support/testenvironment.h"
#include "support/windowstandins.h"
#include "windowkit/appidentity.h"
#include "windowkit/messageboxcustombuttons.h"

#include <chrono>
#include <memory>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSplitter>
#include <QStyleHints>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

using namespace inkvale;
using namespace std::chrono_literals;
using test::FakeTool;
using test::RecordingDesktop;
using test::RecordingDialogs;

namespace {

const QString kExecutable = QStringLiteral(INKVALE_BIN_DIR "/inkvale");

// A program folder of its own for each window, so that each test starts without settings.
struct Program
{
    QTemporaryDir folder;
    RecordingDialogs dialogs;
    RecordingDesktop desktop;
    std::unique_ptr<FakeTool> fakeTool;
    // The windows' clock, which moves only when a test moves it.
    std::chrono::steady_clock::time_point now;

    // With the real tool linked in as gmic/gmic, or with a stand-in of the given behaviour.
    explicit Program(std::optional<FakeTool::Behaviour> fake = std::nullopt)
    {
        if (fake) {
            fakeTool = std::make_unique<FakeTool>(*fake);
        } else {
            test::linkBuiltTool(folder.path());
        }
    }

    QString programFolder() const { return fakeTool ? fakeTool->programFolder() : folder.path(); }

    MainWindow::Environment environment(bool probe = false)
    {
        MainWindow::Environment environment =
            test::standInEnvironment(programFolder(), dialogs, desktop, probe);
        environment.clock = [this] {
            return now;
        };
        return environment;
    }

    std::unique_ptr<MainWindow> open(bool probe = false)
    {
        return std::make_unique<MainWindow>(environment(probe));
    }

    // The file's bytes, byte-order mark included.
    QByteArray settingsText() const
    {
        QFile file(programFolder() + QStringLiteral("/settings.ini"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void writeSettings(const QByteArray &content) const
    {
        QFile file(programFolder() + QStringLiteral("/settings.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
};

QStringList rowPaths(MainWindow &form)
{
    QStringList paths;
    for (int row = 0; row < form.listModel().rowCount(); ++row) {
        paths.append(form.listModel().path(row));
    }
    return paths;
}

bool waitForIntake(MainWindow &form)
{
    return QTest::qWaitFor([&] { return !form.intake().isBusy(); }, 20000);
}

void sendDrop(QWidget &target, const QStringList &paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &path : paths) {
        urls.append(QUrl::fromLocalFile(path));
    }
    data.setUrls(urls);
    const QPointF at(target.width() / 2.0, target.height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &enter);
    QDragMoveEvent move(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &move);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&target, &drop);
}

QString makePicture(const QDir &folder, const QString &name, int width = 40, int height = 30)
{
    const QString path = folder.filePath(name);
    test::writePicture(path, width, height);
    return path;
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void startsWithItsIdentityAndLayout();
    void startsFromStoredChoices_data();
    void startsFromStoredChoices();
    void settingsMoveToTheUserFolderWhenTheProgramFolderIsNotWritable();
    void choicesAreStoredWhenTheyChange();
    void conversionChoicesAreStored();
    void aFailedSaveReachesTheGeneralErrorHandler();
    void resetToDefaults_data();
    void resetToDefaults();
    void missingVersionInformationStopsTheStartButTheWindowOpens();
    void countText_data();
    void countText();
    void addFilesReportsUnreadablePicturesInOrder();
    void dropAddsFilesAndFoldersInTheDropsOrder();
    void aDropOnTheDestinationFieldAddsPicturesAndLeavesItsText();
    void addFolderTakesSeveralFoldersAndRemembersTheFirst();
    void destinationChooser();
    void onlineHelpOpensTheProductsPage();
    void customButtonsBox_data();
    void customButtonsBox();
    void convertWithTheRealToolKeepsTheWindowAlive();
    void stopEndsTheBatch();
    void aDoubleClickOnConvertDoesNotStopTheBatch();
    void closingDuringABatchEndsTheTool_data();
    void closingDuringABatchEndsTheTool();
    void failedImagesCanBeInspected();
    void changesDuringABatchApplyFromTheNextImage();
    void aDestinationIsTakenOnlyWhenItsEditingIsFinished_data();
    void aDestinationIsTakenOnlyWhenItsEditingIsFinished();
    void convertWithoutTheToolOrDestination_data();
    void convertWithoutTheToolOrDestination();
    void effectsTheToolLacksAreMarked();
    void withoutTheToolEveryEffectIsMarked();
};

void MainWindowTest::startsWithItsIdentityAndLayout()
{
    Program program;
    auto form = program.open();
    QCOMPARE(form->windowTitle(), QStringLiteral("TAVRINO - Inkvale"));
    QCOMPARE(appIdentity().appCompany, QStringLiteral("TAVRINO"));
    QCOMPARE(appIdentity().appProduct, QStringLiteral("Inkvale"));
    QCOMPARE(appIdentity().appVersion, QStringLiteral("1.1"));

    const MainWindowUi &ui = form->ui();
    QCOMPARE(ui.destinationEdit->text(),
             QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
    QCOMPARE(ui.formatBox->currentText(), QStringLiteral("PNG"));
    QCOMPARE(ui.effectBox->currentText(), QStringLiteral("Cartoon"));
    QVERIFY(!ui.showPreviewAction->isChecked());
    QVERIFY(ui.updateNotificationsAction->isChecked());
    QVERIFY(!ui.updateNotificationsAction->isEnabled());
    QCOMPARE(form->statusText(), QStringLiteral("0 files"));
    QCOMPARE(ui.onlineHelpAction->shortcut(), QKeySequence(Qt::Key_F1));

    // The desktop shown is a default, not a choice: the first start writes nothing.
    QVERIFY(!QFile::exists(program.programFolder() + QStringLiteral("/settings.ini")));

    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QVERIFY(ui.imageList->isVisible());
    QVERIFY(!ui.previewImage->isVisible());
    QVERIFY(!ui.previewSplitterHandle->isVisible());
    // The conversion log is never shown in the window.
    QVERIFY(form->findChildren<QPlainTextEdit *>().isEmpty());
    for (const char *name :
         {"addFilesTool", "addFolderTool", "feedbackTool", "aboutTool", "helpTool", "upButton",
          "downButton", "topButton", "bottomButton", "destinationButton", "destinationEdit",
          "convertButton", "formatBox", "effectBox", "choicesPanel"}) {
        auto *widget = form->findChild<QWidget *>(QLatin1String(name));
        QVERIFY2(widget && widget->isVisible(), name);
    }
    // Enlarged, the list takes the room and the column keeps its width.
    const int listWidth = ui.imageList->width();
    form->resize(form->width() + 200, form->height() + 100);
    QTRY_VERIFY(ui.imageList->width() >= listWidth + 200);
    QCOMPARE(ui.choicesPanel->width(), 238);
}

void MainWindowTest::startsFromStoredChoices_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("preview");
    QTest::addColumn<QString>("destination");

    QTest::newRow("JPG and ON") << QByteArray("[Settings]\nFormat=JPG\nShowPreview=ON\n") << "JPG"
                                << true << "";
    QTest::newRow("lower case is not taken")
        << QByteArray("[settings]\nformat=jpg\nshowpreview=on\n") << "PNG" << false << "";
    QTest::newRow("unknown format")
        << QByteArray("[Settings]\nFormat=GIF\n") << "PNG" << false << "";
    QTest::newRow("stored destination")
        << QByteArray("\xEF\xBB\xBF[Settings]\r\nDestination = /some/where\r\nFormat=BMP\r\n")
        << "BMP" << false << "/some/where";
    QTest::newRow("invalid UTF-8 gives the defaults")
        << QByteArray("[Settings]\nFormat=JPG\nDestination=\xFF\xFE\n") << "PNG" << false << "";
    // Far beyond a line edit's usual 32767 characters: shown whole, and never cut on disk.
    const QString longDestination = QStringLiteral("/out/") + QString(100000, u'd');
    QTest::newRow("100 kB destination")
        << QByteArray("; kept as written\n[Settings]\nDestination=" + longDestination.toUtf8() +
                      "\nFormat=jpg\n")
        << "PNG" << false << longDestination;
}

void MainWindowTest::startsFromStoredChoices()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, format);
    QFETCH(bool, preview);
    QFETCH(QString, destination);

    Program program;
    program.writeSettings(file);
    auto form = program.open();
    QCOMPARE(form->ui().formatBox->currentText(), format);
    QCOMPARE(form->ui().showPreviewAction->isChecked(), preview);
    QCOMPARE(form->ui().effectBox->currentText(), QStringLiteral("Cartoon"));
    QCOMPARE(form->ui().destinationEdit->text(),
             destination.isEmpty()
                 ? QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)
                 : destination);
    QVERIFY(program.dialogs.messages.isEmpty());
    // Nothing the user did not change is written: a readable file stays as it was (a damaged
    // one is gone).
    QTRY_COMPARE(program.settingsText(),
                 QString::fromUtf8(file).contains(QChar::ReplacementCharacter) ? QByteArray()
                                                                               : file);
}

void MainWindowTest::settingsMoveToTheUserFolderWhenTheProgramFolderIsNotWritable()
{
    Program program;
    QFile marker(program.folder.filePath(QStringLiteral("chk.tmp")));
    QVERIFY(marker.open(QIODevice::WriteOnly));
    marker.close();

    auto form = program.open();
    const QString expected = QDir::temp().filePath(QStringLiteral("config/TAVRINO/Inkvale/"));
    QCOMPARE(form->settings()->folder(), expected);
    form->ui().formatBox->setCurrentIndex(1);
    emit form->ui().formatBox->activated(1);
    QVERIFY(QFile::exists(expected + QStringLiteral("settings.ini")));
    QVERIFY(!QFile::exists(program.folder.filePath(QStringLiteral("settings.ini"))));
    QVERIFY(QFile::remove(expected + QStringLiteral("settings.ini")));
}

void MainWindowTest::choicesAreStoredWhenTheyChange()
{
    Program program;
    auto form = program.open();
    const MainWindowUi &ui = form->ui();

    // Shown by the program, the text is no choice; typed, it is.
    ui.destinationEdit->setText(QStringLiteral("/tmp/shown"));
    QVERIFY(!program.settingsText().contains("/tmp/shown"));
    ui.destinationEdit->selectAll();
    QTest::keyClicks(ui.destinationEdit, QStringLiteral("/tmp/out"));
    QVERIFY(program.settingsText().contains("Destination=/tmp/out\r\n"));

    ui.formatBox->setCurrentIndex(2);
    emit ui.formatBox->activated(2);
    QVERIFY(program.settingsText().contains("Format=BMP\r\n"));

    ui.showPreviewAction->trigger();
    QVERIFY(program.settingsText().contains("ShowPreview=ON\r\n"));
    ui.showPreviewAction->trigger();
    QVERIFY(program.settingsText().contains("ShowPreview=OFF\r\n"));
    QVERIFY(!ui.previewImage->isVisibleTo(form.get()));

    // The next start finds them.
    form.reset();
    form = program.open();
    QCOMPARE(form->ui().destinationEdit->text(), QStringLiteral("/tmp/out"));
    QCOMPARE(form->ui().formatBox->currentText(), QStringLiteral("BMP"));
    QVERIFY(!form->ui().showPreviewAction->isChecked());
}

void MainWindowTest::conversionChoicesAreStored()
{
    Program program;
    program.writeSettings("[Settings]\nFormat=BMP\n");
    auto form = program.open();
    ConversionChoices &choices = *form->ui().conversionChoices;
    QCOMPARE(choices.options().scale, EffectScale::Fit);
    QCOMPARE(choices.options().largestSide, 0);

    // Written alone: the other keys stay as they were.
    choices.scaleAction().trigger();
    QCOMPARE(choices.options().scale, EffectScale::Exact);
    QCOMPARE(program.settingsText(),
             "\xEF\xBB\xBF[Settings]\r\nFormat=BMP\r\nEffectScale=exact\r\n\r\n");
    choices.largestSideAction(2048).trigger();
    QCOMPARE(choices.options().largestSide, 2048);
    QVERIFY(program.settingsText().contains("EffectScale=exact\r\nLargestSide=2048\r\n"));

    // The next start finds them; a stored size the menu does not offer gets an entry.
    form.reset();
    program.writeSettings("[Settings]\nEffectScale=exact\nLargestSide=1500\n");
    form = program.open();
    const ConversionOptions options = form->ui().conversionChoices->options();
    QCOMPARE(options.scale, EffectScale::Exact);
    QCOMPARE(options.largestSide, 1500);
    QVERIFY(form->findChild<QAction *>(QStringLiteral("largestSide1500Action"))->isChecked());
}

void MainWindowTest::aFailedSaveReachesTheGeneralErrorHandler()
{
    Program program;
    auto form = program.open();
    const QString file = program.folder.filePath(QStringLiteral("settings.ini"));
    QVERIFY(QDir().mkdir(file)); // a folder where the file should go

    form->ui().destinationEdit->selectAll();
    QTest::keyClicks(form->ui().destinationEdit, QStringLiteral("/elsewhere"));
    // Each key tries again.
    QCOMPARE(program.dialogs.messages.size(), 10);
    const RecordingDialogs::Message message = program.dialogs.messages.first();
    QCOMPARE(message.caption, QStringLiteral("Inkvale"));
    QCOMPARE(message.icon, QMessageBox::Critical);
    QVERIFY2(message.text.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(file)),
             qPrintable(message.text));
    // The window goes on with the value chosen.
    QCOMPARE(form->ui().destinationEdit->text(), QStringLiteral("/elsewhere"));
}

void MainWindowTest::resetToDefaults_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::newRow("confirmed") << QMessageBox::Yes;
    QTest::newRow("refused") << QMessageBox::No;
}

void MainWindowTest::resetToDefaults()
{
    QFETCH(QMessageBox::StandardButton, answer);
    Program program;
    program.writeSettings("[Settings]\r\nFormat=JPG\r\n");
    auto form = program.open();
    program.dialogs.questionAnswer = answer;
    form->ui().resetToDefaultsAction->trigger();

    QCOMPARE(program.dialogs.questions.size(), 1);
    const RecordingDialogs::Question question = program.dialogs.questions.first();
    QCOMPARE(question.message, QStringLiteral("Restart Application?"));
    QCOMPARE(question.caption, QStringLiteral("Confirmation"));
    QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(question.captions, QStringList({QStringLiteral("Yes"), QStringLiteral("No")}));

    const bool confirmed = answer == QMessageBox::Yes;
    QCOMPARE(program.desktop.restarts, confirmed ? QStringList{kExecutable} : QStringList{});
    QCOMPARE(QFile::exists(program.folder.filePath(QStringLiteral("settings.ini"))), !confirmed);
}

void MainWindowTest::missingVersionInformationStopsTheStartButTheWindowOpens()
{
    Program program;
    MainWindow::Environment environment = program.environment();
    // A test program carries no version information.
    environment.executable = QCoreApplication::applicationFilePath();
    MainWindow form(environment);
    QCOMPARE(program.dialogs.messages.size(), 1);
    QCOMPARE(program.dialogs.messages.first().caption, QStringLiteral("Inkvale"));
    QVERIFY(!program.dialogs.messages.first().text.isEmpty());
    QVERIFY(form.settings() == nullptr);
    QVERIFY(!QFile::exists(program.folder.filePath(QStringLiteral("settings.ini"))));
}

void MainWindowTest::countText_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 0 << "0 files";
    QTest::newRow("one") << 1 << "1 file";
    QTest::newRow("two") << 2 << "2 files";
}

void MainWindowTest::countText()
{
    QFETCH(int, rows);
    QFETCH(QString, text);
    Program program;
    auto form = program.open();
    const QString picture = makePicture(QDir(program.folder.path()), QStringLiteral("a.png"));
    program.dialogs.fileAnswers.enqueue(QStringList(rows, picture));
    form->ui().addFilesTool->click();
    QVERIFY(waitForIntake(*form));
    QCOMPARE(form->listModel().rowCount(), rows);
    QCOMPARE(form->statusText(), text);
}

void MainWindowTest::addFilesReportsUnreadablePicturesInOrder()
{
    Program program;
    auto form = program.open();
    const QDir folder(program.folder.path());
    const QString good = makePicture(folder, QStringLiteral("good.png"), 64, 48);
    const QString jpegData = makePicture(folder, QStringLiteral("jpeg.jpg"));
    const QString disguised = folder.filePath(QStringLiteral("disguised.png"));
    QVERIFY(QFile::copy(jpegData, disguised));
    const QString text = folder.filePath(QStringLiteral("notes.txt"));
    QFile notes(text);
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("not a picture");
    notes.close();

    program.dialogs.fileAnswers.enqueue({good, text, disguised, good});
    form->ui().addFilesAction->trigger();
    QVERIFY(waitForIntake(*form));

    QCOMPARE(rowPaths(*form), QStringList({good, good}));
    QCOMPARE(form->listModel().data(form->listModel().index(0, 1)).toString(),
             QStringLiteral("64"));
    QCOMPARE(form->listModel().data(form->listModel().index(0, 2)).toString(),
             QStringLiteral("48"));
    // One box for the whole intake: each path with the reader's words under it.
    QTRY_COMPARE(program.dialogs.messages.size(), 1);
    const RecordingDialogs::Message message = program.dialogs.messages.first();
    QCOMPARE(message.caption, QStringLiteral("ERROR"));
    QCOMPARE(message.icon, QMessageBox::Critical);
    const QStringList blocks = message.text.split(QStringLiteral("\r\r"));
    QCOMPARE(blocks.size(), 2);
    QStringList reported;
    for (const QString &block : blocks) {
        reported.append(block.section(u'\r', 0, 0));
        QVERIFY(!block.section(u'\r', 1).isEmpty());
    }
    QCOMPARE(reported, QStringList({text, disguised}));
    QCOMPARE(form->statusText(), QStringLiteral("2 files"));
    const QStringList filters{
        QStringLiteral("Image Files (*.png *.jpg *.jpeg *.gif *.bmp *.tif *.tiff *.webp *.heic "
                       "*.heif *.avif)"),
        QStringLiteral("All Files (*)")};
    QCOMPARE(program.dialogs.fileDialogFilters, QList<QStringList>{filters});
}

void MainWindowTest::dropAddsFilesAndFoldersInTheDropsOrder()
{
    Program program;
    auto form = program.open();
    const QDir root(program.folder.path());
    QVERIFY(root.mkpath(QStringLiteral("pictures/d")));
    const QDir pictures(root.filePath(QStringLiteral("pictures")));
    const QString x = makePicture(root, QStringLiteral("x.png"));
    const QString a = makePicture(pictures, QStringLiteral("a.PNG"));
    const QString b = makePicture(pictures, QStringLiteral("b.jpeg"));
    makePicture(QDir(pictures.filePath(QStringLiteral("d"))), QStringLiteral("deep.png"));
    const QString y = makePicture(root, QStringLiteral("y.bmp"));
    const QString ignored = makePicture(root, QStringLiteral("photo.jfif"));

    sendDrop(*form, {x, pictures.path(), ignored, y});
    QVERIFY(waitForIntake(*form));
    QCOMPARE(rowPaths(*form), QStringList({x, a, b, y}));
    QVERIFY(program.dialogs.messages.isEmpty());
    QCOMPARE(form->statusText(), QStringLiteral("4 files"));

    form->ui().clearAction->trigger();
    QCOMPARE(form->listModel().rowCount(), 0);
    QCOMPARE(form->statusText(), QStringLiteral("0 files"));
}

void MainWindowTest::aDropOnTheDestinationFieldAddsPicturesAndLeavesItsText()
{
    Program program;
    auto form = program.open();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    const QDir root(program.folder.path());
    const QString one = makePicture(root, QStringLiteral("one.png"));
    const QString two = makePicture(root, QStringLiteral("two.jpg"));
    QLineEdit *field = form->ui().destinationEdit;
    const QString before = field->text();
    const QByteArray settings = program.settingsText();

    sendDrop(*field, {one, two});
    QVERIFY(waitForIntake(*form));
    QCOMPARE(rowPaths(*form), QStringList({one, two}));
    QCOMPARE(field->text(), before);
    QCOMPARE(program.settingsText(), settings);
}

void MainWindowTest::addFolderTakesSeveralFoldersAndRemembersTheFirst()
{
    Program program;
    auto form = program.open();
    const QDir root(program.folder.path());
    QStringList folders;
    QStringList expected;
    for (const QString &name :
         {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}) {
        QVERIFY(root.mkpath(name));
        folders.append(root.filePath(name));
        expected.append(makePicture(QDir(folders.last()), name + QStringLiteral(".png")));
    }
    program.dialogs.folderAnswers.enqueue(folders);
    form->ui().addFolderTool->click();
    QVERIFY(waitForIntake(*form));
    QCOMPARE(rowPaths(*form), expected);
    QCOMPARE(form->lastFolder(), folders.first());

    // The destination chooser opens there next, for one folder.
    form->chooseDestination();
    QCOMPARE(program.dialogs.folderDialogs,
             (QList<QPair<QString, bool>>{{QString(), true}, {folders.first(), false}}));
}

void MainWindowTest::destinationChooser()
{
    Program program;
    auto form = program.open();
    const QString before = form->ui().destinationEdit->text();

    form->ui().destinationButton->click(); // cancelled
    QCOMPARE(form->ui().destinationEdit->text(), before);
    QCOMPARE(form->lastFolder(), QString());

    const QString chosen = QDir::temp().filePath(QStringLiteral("chosen"));
    program.dialogs.folderAnswers.enqueue({chosen});
    form->ui().destinationButton->click();
    QCOMPARE(form->ui().destinationEdit->text(), chosen);
    QCOMPARE(form->lastFolder(), chosen);
    QVERIFY(program.settingsText().contains("Destination=" + chosen.toUtf8()));

    form->setDestinationFolder(QStringLiteral("   "));
    QCOMPARE(form->ui().destinationEdit->text(), chosen);
    form->setDestinationFolder(QStringLiteral(" /padded "));
    QCOMPARE(form->ui().destinationEdit->text(), QStringLiteral(" /padded "));
    QCOMPARE(form->lastFolder(), QStringLiteral(" /padded "));
}

void MainWindowTest::onlineHelpOpensTheProductsPage()
{
    Program program;
    auto form = program.open();
    form->ui().helpTool->click();
    // F1 wherever the focus is.
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    for (QWidget *focus : {static_cast<QWidget *>(form->ui().imageList),
                           static_cast<QWidget *>(form->ui().destinationEdit)}) {
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_F1);
    }
    const QUrl expected(QStringLiteral("http://www.tavrino.example/help/inkvale/"));
    QCOMPARE(program.desktop.openedUrls, (QList<QUrl>{expected, expected, expected}));
}

void MainWindowTest::customButtonsBox_data()
{
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("both") << QStringList{"Yes", "No"} << QStringList{"Yes", "No"};
    QTest::newRow("shorter list") << QStringList{"Sure"} << QStringList{"Sure", "&No"};
    QTest::newRow("longer list") << QStringList{"A", "B", "C"} << QStringList{"A", "B"};
}

void MainWindowTest::customButtonsBox()
{
    QFETCH(QStringList, captions);
    QFETCH(QStringList, expected);
    const auto box = createCustomButtonsBox(
        nullptr, QStringLiteral("One\r\rTwo"), QMessageBox::Question,
        QMessageBox::No | QMessageBox::Yes, captions, QStringLiteral("Confirmation"));
    QCOMPARE(box->windowTitle(), QStringLiteral("Confirmation"));
    QCOMPARE(box->text(), QStringLiteral("One\n\nTwo"));
    QStringList texts;
    for (QAbstractButton *button : box->buttons()) {
        texts.append(button->text());
    }
    QCOMPARE(texts, expected);
    QCOMPARE(dialogResultNumber(box->standardButton(box->buttons().at(0))), 6);
    QCOMPARE(dialogResultNumber(box->standardButton(box->buttons().at(1))), 7);
}

void MainWindowTest::convertWithTheRealToolKeepsTheWindowAlive()
{
    Program program;
    auto form = program.open();
    const QDir folder(program.folder.path());
    program.dialogs.fileAnswers.enqueue({makePicture(folder, QStringLiteral("one.png"), 160, 120),
                                         makePicture(folder, QStringLiteral("two.jpg"), 120, 90)});
    form->ui().addFilesTool->click();
    QVERIFY(waitForIntake(*form));
    const QString destination = folder.filePath(QStringLiteral("new/out"));
    form->ui().destinationEdit->setText(destination);
    form->ui().formatBox->setCurrentText(QStringLiteral("JPG"));

    int turns = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&] { ++turns; });
    ticker.start(5);
    QSignalSpy finished(form.get(), &MainWindow::batchFinished);
    form->ui().convertButton->click();
    QVERIFY(form->batchRunning());
    QCOMPARE(form->ui().convertButton->text(), QStringLiteral("S&top"));
    QVERIFY(form->statusText().startsWith(QStringLiteral("Processing ")));
    QVERIFY(finished.wait(60000));
    ticker.stop();

    QCOMPARE(QDir(destination).entryList(QDir::Files),
             QStringList({QStringLiteral("one.jpg"), QStringLiteral("two.jpg")}));
    QCOMPARE(form->statusText(), QStringLiteral("Completed"));
    QCOMPARE(form->ui().convertButton->text(), QStringLiteral("&Convert"));
    QVERIFY(!form->ui().statusPanel->showsFailures());
    QVERIFY(!form->ui().showConversionLogAction->isEnabled());
    QCOMPARE(program.desktop.beeps, 1);
    QVERIFY2(turns > 5, "the event loop stood still during the batch");
    // The last picture's log, its neutral name telling it from the first.
    QVERIFY(form->batchRun().log().text().contains(QStringLiteral("/input.jpg\"")));
}

void MainWindowTest::stopEndsTheBatch()
{
    Program program(FakeTool::Behaviour::Slow);
    auto form = program.open();
    const QDir folder(QDir::temp());
    program.dialogs.fileAnswers.enqueue({makePicture(folder, QStringLiteral("s1.png")),
                                         makePicture(folder, QStringLiteral("s2.png"))});
    form->ui().addFilesTool->click();
    QVERIFY(waitForIntake(*form));
    const QString destination = folder.filePath(QStringLiteral("stopped"));
    form->ui().destinationEdit->setText(destination);

    QSignalSpy finished(form.get(), &MainWindow::batchFinished);
    form->ui().convertButton->click();
    QVERIFY(QTest::qWaitFor(
        [&] { return QFile::exists(program.programFolder() + QStringLiteral("/gmic/pid")); },
        10000));
    // Past a double click.
    program.now +=
        std::chrono::milliseconds(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    form->ui().convertButton->click();
    QVERIFY(finished.wait(10000));
    QCOMPARE(form->statusText(), QStringLiteral("Stopped"));
    QCOMPARE(form->ui().convertButton->text(), QStringLiteral("&Convert"));
    QVERIFY(QDir(destination).entryList(QDir::Files).isEmpty());
    QCOMPARE(program.desktop.beeps, 0);
}

void MainWindowTest::aDoubleClickOnConvertDoesNotStopTheBatch()
{
    Program program(FakeTool::Behaviour::Slow);
    auto form = program.open();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    program.dialogs.fileAnswers.enqueue({makePicture(QDir::temp(), QStringLiteral("d.png"))});
    form->ui().addFilesTool->click();
    QVERIFY(waitForIntake(*form));
    form->ui().destinationEdit->setText(QDir::temp().filePath(QStringLiteral("doubled")));
    QStyleHints *hints = QGuiApplication::styleHints();
    const int interval = hints->mouseDoubleClickInterval();
    hints->setMouseDoubleClickInterval(1000);
    const auto restore = qScopeGuard([&] { hints->setMouseDoubleClickInterval(interval); });

    QSignalSpy finished(form.get(), &MainWindow::batchFinished);
    QPushButton *button = form->ui().convertButton;
    // A double click as the system delivers it: press, release, double-click press, release.
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(form->batchRunning());
    QTest::mouseDClick(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
    QVERIFY(form->batchRunning());
    program.now += 999ms;
    button->click(); // a third click, still within the interval
    QVERIFY(QTest::qWaitFor(
        [&] { return QFile::exists(program.programFolder() + QStringLiteral("/gmic/pid")); },
        10000));
    QVERIFY(form->batchRunning());
    QCOMPARE(button->text(), QStringLiteral("S&top"));

    // Once the interval is over, a click stops it.
    program.now += 1ms;
    QVERIFY(form->batchRunning());
    button->click();
    QVERIFY(finished.wait(10000));
    QCOMPARE(form->statusText(), QStringLiteral("Stopped"));
}

void MainWindowTest::closingDuringABatchEndsTheTool_data()
{
    QTest::addColumn<bool>("wrapper");
    QTest::addColumn<bool>("sessionEnds"); // as on SIGTERM or SIGHUP, else the window closes
    QTest::newRow("closed") << false << false;
    QTest::newRow("closed, the tool a wrapper script") << true << false;
    QTest::newRow("session ends, the tool a wrapper script") << true << true;
}

// The tool ends with every process it started (the tool may be a wrapper script whose child
// does the work), and the scratch folders go.
void MainWindowTest::closingDuringABatchEndsTheTool()
{
    QFETCH(bool, wrapper);
    QFETCH(bool, sessionEnds);
    Program program(wrapper ? FakeTool::Behaviour::SlowWrapper : FakeTool::Behaviour::Slow);
    auto form = program.open();
    program.dialogs.fileAnswers.enqueue({makePicture(QDir::temp(), QStringLiteral("c.png"))});
    form->ui().addFilesTool->click();
    QVERIFY(waitForIntake(*form));
    form->ui().destinationEdit->setText(QDir::temp().filePath(QStringLiteral("closed")));
    form->ui().convertButton->click();
    QVERIFY(QTest::qWaitFor([&] { return program.fakeTool->recordedPid() > 0; }, 10000));
    const qint64 tool = program.fakeTool->recordedPid();
    QVERIFY(!test::processEnded(tool));

    if (sessionEnds) {
        // What the program does when a termination request arrives.
        form->exitProgram();
    } else {
        form->close();
    }
    form.reset();
    // Gone, not a sleeper left behind.
    QTRY_VERIFY_WITH_TIMEOUT(test::processEnded(tool), 5000);
    QVERIFY(QDir::temp().entryList({QStringLiteral("inkvale-*")}, QDir::Dirs).isEmpty());
}

void MainWindowTest::failedImagesCanBeInspected()
{
    Program program(FakeTool::Behaviour::Fail);
    auto form = program.open();
    const QDir folder(QDir::temp());
    program.dialogs.fileAnswers.enqueue({makePicture(folder, QStringLiteral("f1.png")),
                                         makePicture(folder, QStringLiteral("f2.png"))});
    form->ui().addFilesTool->click();
    QVERIFY(waitForIntake(*form));
    form->ui().destinationEdit->setText(folder.filePath(QStringLiteral("failed")));
    // Gone before the batch: refused before the tool starts.
    QVERIFY(QFile::remove(folder.filePath(QStringLiteral("f2.png"))));

    QSignalSpy finished(form.get(), &MainWindow::batchFinished);
    form->ui().convertButton->click();
    QVERIFY(finished.wait(20000));
    QCOMPARE(form->statusText(), QStringLiteral("Completed (2 failed)"));
    QVERIFY(form->ui().statusPanel->showsFailures());
    QVERIFY(form->ui().showConversionLogAction->isEnabled());

    // A click on the status text opens the list.
    QTest::mouseClick(form->ui().statusPanel, Qt::LeftButton);
    auto *dialog = form->findChild<ConversionLogDialog *>();
    QVERIFY(dialog);
    auto *list = dialog->findChild<QListWidget *>(QStringLiteral("FailureList"));
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text(), folder.filePath(QStringLiteral("f1.png")));
    auto *details = dialog->findChild<QPlainTextEdit *>(QStringLiteral("FailureDetails"));
    QVERIFY(details->toPlainText().contains(QStringLiteral("fake tool cannot read")));
    // Its reason is all there is to say, once.
    list->setCurrentRow(1);
    QCOMPARE(details->toPlainText(), QStringLiteral("The file does not exist"));
    dialog->close();

    // The next file count ends the invitation.
    form->imageCountChanged();
    QVERIFY(!form->ui().statusPanel->showsFailures());
}

void MainWindowTest::changesDuringABatchApplyFromTheNextImage()
{
    Program program(FakeTool::Behaviour::Succeed);
    auto form = program.open();
    const QDir folder(QDir::temp());
    const QStringList names{"c1", "c2", "c3", "c4"};
    QStringList pictures;
    for (const QString &name : names) {
        pictures.append(makePicture(folder, name + QStringLiteral(".png")));
    }
    program.dialogs.fileAnswers.enqueue(pictures);
    form->ui().addFilesTool->click();
    QVERIFY(waitForIntake(*form));
    const QString destination = folder.filePath(QStringLiteral("changing"));
    form->ui().destinationEdit->setText(destination);

    // After the first image, the user picks BMP and drops the last row. The images started
    // by then (as many as run at once; the status names the last) keep PNG.
    qsizetype started = -1;
    connect(form.get(), &MainWindow::batchProgress, [&](int done, int) {
        if (done == 1 && started < 0) {
            for (started = names.size(); started > 0; --started) {
                if (form->statusText().contains(pictures[started - 1])) {
                    break;
                }
            }
            form->ui().formatBox->setCurrentText(QStringLiteral("BMP"));
            form->listModel().removeRows(3, 1);
        }
    });
    QSignalSpy finished(form.get(), &MainWindow::batchFinished);
    form->ui().convertButton->click();
    QVERIFY(finished.wait(20000));
    QVERIFY(started >= 1);
    QStringList expected;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (i < started) {
            expected.append(names[i] + QStringLiteral(".png"));
        } else if (i < 3) {
            expected.append(names[i] + QStringLiteral(".bmp"));
        }
    }
    QCOMPARE(QDir(destination).entryList(QDir::Files, QDir::Name), expected);
}

void MainWindowTest::aDestinationIsTakenOnlyWhenItsEditingIsFinished_data()
{
    QTest::addColumn<bool>("byEnter"); // else the field loses focus
    QTest::newRow("Enter") << true;
    QTest::newRow("focus leaves") << false;
}

void MainWindowTest::aDestinationIsTakenOnlyWhenItsEditingIsFinished()
{
    QFETCH(bool, byEnter);
    Program program(FakeTool::Behaviour::Succeed);
    auto form = program.open();
    QTemporaryDir folder;
    const QDir dir(folder.path());
    // More pictures than can run at once, so that however many do, some start while the new
    // name is half typed and some after its editing is finished.
    const int count = QThread::idealThreadCount() + 3;
    QStringList pictures;
    for (int i = 1; i <= count; ++i) {
        pictures.append(
            makePicture(dir, QStringLiteral("e%1.png").arg(i, 2, 10, QLatin1Char('0'))));
    }
    program.dialogs.fileAnswers.enqueue(pictures);
    form->ui().addFilesTool->click();
    QVERIFY(waitForIntake(*form));
    QLineEdit *field = form->ui().destinationEdit;
    field->setText(dir.filePath(QStringLiteral("out")));

    // How many pictures have started: the status names the last one.
    const auto started = [&] {
        for (qsizetype n = pictures.size(); n > 0; --n) {
            if (form->statusText().contains(pictures[n - 1] + QStringLiteral("..."))) {
                return n;
            }
        }
        return qsizetype(0);
    };
    // After the first image the user types "new" after the name, one key at a time; after the
    // second the editing is finished.
    qsizetype startedWhileTyping = -1;
    qsizetype startedBeforeTheEdit = -1;
    connect(form.get(), &MainWindow::batchProgress, field, [&](int done, int) {
        if (done == 1) {
            startedWhileTyping = started();
            QTest::keyClicks(field, QStringLiteral("new"));
        } else if (done == 2) {
            startedBeforeTheEdit = started();
            if (byEnter) {
                QTest::keyClick(field, Qt::Key_Return);
            } else {
                QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
                QCoreApplication::sendEvent(field, &leave);
            }
        }
    });
    QSignalSpy finished(form.get(), &MainWindow::batchFinished);
    form->ui().convertButton->click();
    QVERIFY(finished.wait(20000));
    // Some pictures started while the name was half typed, and some after the edit.
    QVERIFY2(startedWhileTyping < startedBeforeTheEdit && startedBeforeTheEdit < count,
             qPrintable(QStringLiteral("%1 then %2 of %3 started")
                            .arg(startedWhileTyping)
                            .arg(startedBeforeTheEdit)
                            .arg(count)));
    QStringList before;
    QStringList after;
    for (qsizetype i = 0; i < count; ++i) {
        (i < startedBeforeTheEdit ? before : after).append(QFileInfo(pictures[i]).fileName());
    }
    const auto filesIn = [&](const QString &name) {
        QStringList files = QDir(dir.filePath(name)).entryList(QDir::Files);
        files.sort();
        return files;
    };
    before.sort();
    after.sort();
    QCOMPARE(filesIn(QStringLiteral("out")), before);
    QCOMPARE(filesIn(QStringLiteral("outnew")), after);
    QVERIFY(!dir.exists(QStringLiteral("outn")));
    QVERIFY(!dir.exists(QStringLiteral("outne")));
    // The setting follows every key.
    QVERIFY(program.settingsText().contains("Destination=" +
                                            dir.filePath(QStringLiteral("outnew")).toUtf8()));
}

void MainWindowTest::convertWithoutTheToolOrDestination_data()
{
    QTest::addColumn<bool>("tool");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::newRow("no tool") << false << "ERROR"
                             << "File not found!\r\r";
    QTest::newRow("empty destination") << true << "Inkvale"
                                       << "Unable to create directory.";
}

void MainWindowTest::convertWithoutTheToolOrDestination()
{
    QFETCH(bool, tool);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    Program program(FakeTool::Behaviour::Succeed);
    auto form = program.open();
    if (tool) {
        form->ui().destinationEdit->clear();
    } else {
        QVERIFY(QFile::remove(program.programFolder() + QStringLiteral("/gmic/gmic")));
    }
    form->ui().convertButton->click();
    QVERIFY(!form->batchRunning());
    QCOMPARE(program.dialogs.messages.size(), 1);
    QCOMPARE(program.dialogs.messages.first().caption, caption);
    QVERIFY2(program.dialogs.messages.first().text.startsWith(text),
             qPrintable(program.dialogs.messages.first().text));
    QCOMPARE(form->ui().convertButton->text(), QStringLiteral("&Convert"));
}

void MainWindowTest::effectsTheToolLacksAreMarked()
{
    Program program;
    auto form = program.open(true);
    QSignalSpy probed(form.get(), &MainWindow::effectsProbed);
    QVERIFY(probed.wait(60000));
    const EffectAvailability &availability = form->effectAvailability();
    QComboBox *effects = form->ui().effectBox;
    const QStringList names{"Cartoon", "Comicbook", "Cutout", "Lineart", "Pen Drawing"};
    for (int i = 0; i < effects->count(); ++i) {
        QCOMPARE(effects->itemText(i), names.at(i));
        const bool marked = !effects->itemIcon(i).isNull();
        QCOMPARE(marked, !availability.isAvailable(names.at(i)));
        const QString tip = effects->itemData(i, Qt::ToolTipRole).toString();
        const bool recipe = availability.usesRecipe(names.at(i));
        QCOMPARE(tip.isEmpty(), !marked && !recipe);
        if (marked) {
            QVERIFY2(tip.contains(availability.reason(names.at(i))), qPrintable(tip));
        }
        if (recipe) {
            QVERIFY2(tip.contains(QStringLiteral("Inkvale's own recipe is used")), qPrintable(tip));
        }
    }
    // Debian 12's tool lacks the two community filters: Inkvale's recipes stand in.
    if (availability.toolVersion.startsWith(QStringLiteral("2."))) {
        for (const QString effect : {"Comicbook", "Lineart"}) {
            QVERIFY2(availability.isAvailable(effect), qPrintable(availability.reason(effect)));
            QVERIFY(availability.usesRecipe(effect));
        }
        effects->setCurrentIndex(1);
        QCOMPARE(effects->toolTip(),
                 "\"Comicbook\": Inkvale's own recipe is used: the installed G'MIC " +
                     availability.toolVersion + " has no cl_comic.");
    }
}

void MainWindowTest::withoutTheToolEveryEffectIsMarked()
{
    Program program(FakeTool::Behaviour::Succeed);
    QVERIFY(QFile::remove(program.programFolder() + QStringLiteral("/gmic/gmic")));
    auto form = program.open(true);
    QSignalSpy probed(form.get(), &MainWindow::effectsProbed);
    QVERIFY(probed.wait(30000));
    QComboBox *effects = form->ui().effectBox;
    for (int i = 0; i < effects->count(); ++i) {
        QVERIFY(!effects->itemIcon(i).isNull());
        const QString tip = effects->itemData(i, Qt::ToolTipRole).toString();
        QVERIFY2(tip.startsWith(QLatin1Char('"') + effects->itemText(i) +
                                QStringLiteral("\" cannot be used: G'MIC cannot be started")),
                 qPrintable(tip));
    }
    QVERIFY(!effects->toolTip().isEmpty());
}

INKVALE_GUI_TEST_MAIN(MainWindowTest)

#include "mainwindow_test.moc"
