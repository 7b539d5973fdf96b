// Opens the about window from the real main window on the display (run it under Xvfb:
// tools/screenshots.sh) and saves it with the rain running and with the hidden picture shown.
#include "about/taboutbox.h"
#include "app/appidentity.h"
#include "support/testenvironment.h"
#include "windowdriver.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

using inkvale::TAboutBox;
using inkvale::tools::WindowDriver;

int main(int argc, char *argv[])
{
    inkvale::test::TestEnvironment environment;
    QApplication app(argc, argv);
    QApplication::setApplicationName(inkvale::applicationTitle());
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(out);
    const auto save = [&out](const QString &name, const QPixmap &picture) {
        const QString path = QDir(out).filePath(name + QStringLiteral(".png"));
        picture.save(path);
        QTextStream(stdout) << path << Qt::endl;
    };

    WindowDriver driver(false);
    driver.form().show();
    if (!QTest::qWaitForWindowExposed(&driver.form())) {
        qWarning("the window did not show");
    }
    driver.form().ui().About1->trigger();
    auto *box = driver.form().findChild<TAboutBox *>();
    if (box == nullptr || !QTest::qWaitForWindowExposed(box)) {
        qWarning("the about window did not show");
        return 1;
    }
    // Long enough for the drops to leave trails.
    QTest::qWait(3000);
    save(QStringLiteral("8-about"), box->grab());

    box->Image1DblClick();
    if (!QTest::qWaitFor([box] { return !box->ui().TimerEgg->isActive(); }, 10000)) {
        qWarning("the panel was still sliding after ten seconds");
    }
    QTest::qWait(1500);
    save(QStringLiteral("9-about-hidden-picture"), box->grab());
    box->close();
    return 0;
}
