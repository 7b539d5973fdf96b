// Opens the about window from the real main window on the display (run it under Xvfb:
// tools/screenshots.sh) and saves it with the rain running and with the hidden picture shown.
#include "about/aboutwindow.h"
#include "screenshotfiles.h"
#include "support/testenvironment.h"
#include "windowdriver.h"
#include "windowkit/appidentity.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

using inkvale::AboutWindow;
using inkvale::tools::saveScreenshot;
using inkvale::tools::WindowDriver;

int main(int argc, char *argv[])
{
    inkvale::test::TestEnvironment environment;
    QApplication app(argc, argv);
    QApplication::setApplicationName(inkvale::applicationTitle());
    const QString out = inkvale::tools::screenshotFolder(argc, argv);

    WindowDriver driver(false);
    driver.form().show();
    if (!QTest::qWaitForWindowExposed(&driver.form())) {
        qWarning("the window did not show");
    }
    driver.form().ui().aboutAction->trigger();
    auto *box = driver.form().findChild<AboutWindow *>();
    if (box == nullptr || !QTest::qWaitForWindowExposed(box)) {
        qWarning("the about window did not show");
        return 1;
    }
    // Long enough for the drops to leave trails.
    QTest::qWait(3000);
    saveScreenshot(out, QStringLiteral("8-about"), box->grab());

    box->showHiddenPicture();
    if (!QTest::qWaitFor([box] { return !box->ui().slideTimer->isActive(); }, 10000)) {
        qWarning("the panel was still sliding after ten seconds");
    }
    QTest::qWait(1500);
    saveScreenshot(out, QStringLiteral("9-about-hidden-picture"), box->grab());
    box->close();
    return 0;
}
