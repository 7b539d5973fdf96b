// Opens the real main window on the display (run it under Xvfb: tools/screenshots.sh), fills
// it, converts, and saves what a user sees at each step as PNG files in the given folder.
#include "app/appidentity.h"
#include "app/tappform.h"
#include "imagelist/imagelistview.h"
#include "imagelist/imagepreview.h"
#include "support/testenvironment.h"
#include "windowdriver.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTextStream>
#include <QToolButton>

using inkvale::TAppForm;
using inkvale::tools::WindowDriver;

namespace {

void save(const QString &folder, const QString &name, const QPixmap &picture)
{
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    picture.save(path);
    QTextStream(stdout) << path << Qt::endl;
}

// The whole screen, so that open pop-ups and dialogs show too.
QPixmap screen()
{
    return QGuiApplication::primaryScreen()->grabWindow(0);
}

} // namespace

int main(int argc, char *argv[])
{
    inkvale::test::TestEnvironment environment;
    QApplication app(argc, argv);
    QApplication::setApplicationName(inkvale::applicationTitle());
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(out);

    WindowDriver driver(true);
    TAppForm &form = driver.form();
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        qWarning("the window did not show");
    }
    QSignalSpy probed(&form, &TAppForm::effectsProbed);
    probed.wait(60000);
    QTest::qWait(200);
    save(out, QStringLiteral("1-empty"), form.grab());

    driver.addPictures(12, 640, 480);
    form.ui().ListView1->selectRow(2);
    QTest::qWait(200);
    save(out, QStringLiteral("2-rows"), form.grab());

    form.ui().ComboBox2->showPopup();
    QTest::qWait(300);
    save(out, QStringLiteral("3-effects"), screen());
    form.ui().ComboBox2->hidePopup();

    driver.startBatch(QStringLiteral("Cartoon"), QStringLiteral("JPG"));
    QTest::qWait(1500);
    save(out, QStringLiteral("4-during-batch"), form.grab());
    driver.waitForBatch(600000);
    QTest::qWait(200);
    save(out, QStringLiteral("5-completed"), form.grab());

    // An effect the installed tool may lack: the failures and their log.
    driver.startBatch(QStringLiteral("Comicbook"), QStringLiteral("PNG"));
    driver.waitForBatch(600000);
    QTest::qWait(200);
    save(out, QStringLiteral("6-failures"), form.grab());
    form.ShowConversionLog1Click();
    QTest::qWait(500);
    save(out, QStringLiteral("7-conversion-log"), screen());
    if (auto *log = form.findChild<QDialog *>()) {
        log->close();
    }

    // The list reordered with the strip: the fifth picture to the top, the first one down.
    const inkvale::TAppFormUi &ui = form.ui();
    ui.ListView1->selectRow(4);
    ui.ButtonTop->click();
    ui.ListView1->selectRow(1);
    ui.ButtonDown->click();
    QTest::qWait(200);
    save(out, QStringLiteral("8-reordered"), form.grab());

    // The preview of the selected picture under the list.
    ui.ShowPreview1->trigger();
    ui.ComboBox2->setCurrentText(QStringLiteral("Cartoon"));
    QSignalSpy settled(&form.preview(), &inkvale::ImagePreview::settled);
    ui.ListView1->selectRow(0);
    form.ListView1Click();
    settled.wait(120000);
    QTest::qWait(300);
    save(out, QStringLiteral("9-preview"), form.grab());
    return 0;
}
