// Opens the real main window on the display (run it under Xvfb: tools/screenshots.sh), fills
// it, converts, and saves what a user sees at each step as PNG files in the given folder.
#include "app/mainwindow.h"
#include "imagelist/imageintake.h"
#include "imagelist/imagelistview.h"
#include "imagelist/imagepreview.h"
#include "online/feedbackwindow.h"
#include "online/limitedtextedit.h"
#include "online/markerpanel.h"
#include "online/newversionnotice.h"
#include "screenshotfiles.h"
#include "support/testenvironment.h"
#include "windowdriver.h"
#include "windowkit/appidentity.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using inkvale::MainWindow;
using inkvale::tools::saveScreenshot;
using inkvale::tools::WindowDriver;

namespace {

// The whole screen, so that open pop-ups and dialogs show too.
QPixmap screen()
{
    return QGuiApplication::primaryScreen()->grabWindow(0);
}

// The corner notice of a newer version, then the feedback window with a marker, a text and an
// address, as a user sees them over the main window.
void saveOnlineWindows(const QString &out, MainWindow &form)
{
    form.showNewVersion(QStringLiteral("1.2"),
                        QStringLiteral("https://www.tavrino.example/download/"));
    QTest::qWait(500);
    saveScreenshot(out, QStringLiteral("10-new-version"), screen());
    form.newVersionNotice()->close();

    form.ui().sendFeedbackAction->trigger();
    auto *feedback = form.findChild<inkvale::FeedbackWindow *>();
    QTest::mouseClick(feedback->likePanel, Qt::LeftButton);
    feedback->feedbackEdit->setPlainText(
        QStringLiteral("The pen drawing effect is lovely.\nCould the batch keep folders?"));
    feedback->emailEdit->setText(QStringLiteral("reader@example.org"));
    QTest::qWait(300);
    saveScreenshot(out, QStringLiteral("11-feedback"), screen());
    feedback->close();
}

// The list reordered with the strip buttons, then the preview of the top row under the list.
void saveListEditing(const QString &out, MainWindow &form)
{
    const inkvale::MainWindowUi &ui = form.ui();
    // The fifth picture to the top, then the first one a row down.
    ui.imageList->selectRow(4);
    ui.topButton->click();
    ui.imageList->selectRow(1);
    ui.downButton->click();
    QTest::qWait(200);
    saveScreenshot(out, QStringLiteral("12-reordered"), form.grab());

    ui.showPreviewAction->trigger();
    ui.effectBox->setCurrentText(QStringLiteral("Cartoon"));
    QSignalSpy settled(&form.preview(), &inkvale::ImagePreview::settled);
    ui.imageList->selectRow(0);
    form.listClicked();
    settled.wait(120000);
    QTest::qWait(300);
    saveScreenshot(out, QStringLiteral("13-preview"), form.grab());
}

// A 12 megapixel photo in the preview: first the effect on a copy scaled to the pane, with the
// status saying that more is coming, then the render of the whole photo, then the 100 % view
// of its middle and the original picture there.
// `given`: a photo of the user's to show instead of a drawn one.
void saveLargePreview(const QString &out, WindowDriver &driver, const QString &given = {})
{
    MainWindow &form = driver.form();
    form.ui().clearAction->trigger();
    QDir folder(driver.folder() + QStringLiteral("/large"));
    folder.mkpath(QStringLiteral("."));
    const QString photo = folder.filePath(QStringLiteral("harbour-12mp.jpg"));
    if (given.isEmpty()) {
        inkvale::test::writePicture(photo, 4000, 3000);
    } else {
        QFile::copy(given, photo);
    }
    driver.dialogs().fileAnswers.enqueue({photo});
    form.addFiles();
    if (!QTest::qWaitFor([&] { return !form.intake().isBusy(); }, 60000)) {
        qWarning("the photo was still being added after a minute");
    }

    QObject context;
    QObject::connect(&form.preview(), &inkvale::ImagePreview::pictureShown, &context,
                     [&](const QString &, bool exact) {
                         saveScreenshot(out,
                                        exact ? QStringLiteral("15-preview-exact")
                                              : QStringLiteral("14-preview-quick"),
                                        form.grab());
                     });
    QSignalSpy settled(&form.preview(), &inkvale::ImagePreview::settled);
    form.ui().imageList->selectRow(0);
    form.listClicked();
    settled.wait(300000);

    QSignalSpy region(&form.preview(), &inkvale::ImagePreview::regionShown);
    form.ui().actualSizeAction->trigger();
    if (!region.wait(300000)) {
        qWarning("the 100 %% view was not rendered within five minutes");
    }
    saveScreenshot(out, QStringLiteral("17-preview-100"), form.grab());
    form.ui().showOriginalAction->trigger();
    QTest::qWait(100);
    saveScreenshot(out, QStringLiteral("18-preview-original"), form.grab());
    form.ui().showOriginalAction->trigger();
    form.ui().actualSizeAction->trigger();
}

// A folder of many photos on its way into the list: the count and the progress bar.
void saveFolderLoading(const QString &out, WindowDriver &driver)
{
    MainWindow &form = driver.form();
    form.ui().clearAction->trigger();
    QDir folder(driver.folder() + QStringLiteral("/trip"));
    folder.mkpath(QStringLiteral("."));
    for (int i = 1; i <= 300; ++i) {
        inkvale::test::writePicture(folder.filePath(QStringLiteral("trip-%1.jpg").arg(i)), 1600,
                                    1200);
    }
    driver.dialogs().folderAnswers.enqueue({folder.path()});
    form.addFolder();
    if (!QTest::qWaitFor(
            [&] { return form.intake().handledCount() >= 60 || !form.intake().isBusy(); }, 60000)) {
        qWarning("fewer than 60 pictures were in the list after a minute");
    }
    saveScreenshot(out, QStringLiteral("16-folder-loading"), form.grab());
    if (!QTest::qWaitFor([&] { return !form.intake().isBusy(); }, 120000)) {
        qWarning("the folder was still being added after two minutes");
    }
}

} // namespace

int main(int argc, char *argv[])
{
    inkvale::test::TestEnvironment environment;
    QApplication app(argc, argv);
    QApplication::setApplicationName(inkvale::applicationTitle());
    inkvale::tools::useDarkPaletteWhenAsked();
    const QString out = inkvale::tools::screenshotFolder(argc, argv);
    // "online" as the second argument: only the online windows, without converting;
    // "preview PHOTO": only the preview of that photo.
    const bool onlineOnly = argc > 2 && QByteArray(argv[2]) == "online";
    const bool previewOnly = argc > 3 && QByteArray(argv[2]) == "preview";

    WindowDriver driver(true);
    MainWindow &form = driver.form();
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        qWarning("the window did not show");
    }
    QSignalSpy probed(&form, &MainWindow::effectsProbed);
    probed.wait(60000);
    QTest::qWait(200);
    saveScreenshot(out, QStringLiteral("1-empty"), form.grab());
    if (onlineOnly) {
        saveOnlineWindows(out, form);
        return 0;
    }
    if (previewOnly) {
        form.ui().showPreviewAction->trigger();
        // A window of a laptop's screen, whose pane the preview fills.
        form.resize(1280, 800);
        QTest::qWait(300);
        saveLargePreview(out, driver, QString::fromLocal8Bit(argv[3]));
        return 0;
    }

    const QStringList pictures = driver.addPictures(12, 640, 480);
    form.ui().imageList->selectRow(2);
    QTest::qWait(200);
    saveScreenshot(out, QStringLiteral("2-rows"), form.grab());

    form.ui().effectBox->showPopup();
    QTest::qWait(300);
    saveScreenshot(out, QStringLiteral("3-effects"), screen());
    form.ui().effectBox->hidePopup();

    driver.startBatch(QStringLiteral("Cartoon"), QStringLiteral("JPG"));
    QTest::qWait(1500);
    saveScreenshot(out, QStringLiteral("4-during-batch"), form.grab());
    driver.waitForBatch(600000);
    QTest::qWait(200);
    saveScreenshot(out, QStringLiteral("5-completed"), form.grab());

    // An effect that Debian's tool lacks: Inkvale's own recipe runs. One picture gone from
    // the disk meanwhile shows the failures and their log.
    QFile::remove(pictures.at(4));
    driver.startBatch(QStringLiteral("Comicbook"), QStringLiteral("PNG"));
    driver.waitForBatch(600000);
    QTest::qWait(200);
    saveScreenshot(out, QStringLiteral("6-comicbook"), form.grab());
    form.showConversionLog();
    QTest::qWait(500);
    saveScreenshot(out, QStringLiteral("7-conversion-log"), screen());
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window != &form && window->isVisible())
            window->close();
    }
    saveOnlineWindows(out, form);
    saveListEditing(out, form);
    saveLargePreview(out, driver);
    saveFolderLoading(out, driver);
    return 0;
}
