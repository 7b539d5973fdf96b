// The processor time the about window's rain costs: the window is left open for a while with
// its rain running, then as long with the rain stopped, and both times are printed as shares
// of one core. Goal: the rain costs under 2 % of one core.
//
// Usage: about_benchmark [SECONDS]   (default 10; run under Xvfb or with QT_QPA_PLATFORM=offscreen)
#include "about/aboutwindow.h"
#include "windowkit/systemdesktopactions.h"
#include "windowkit/systemuserdialogs.h"

#include <ctime>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTextStream>
#include <QTimer>

namespace {

// Processor time of the whole process (every thread), in seconds.
double processSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

// The share of one core the process used while the event loop ran for `seconds`.
double coreShare(int seconds)
{
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    QElapsedTimer wall;
    const double before = processSeconds();
    wall.start();
    loop.exec();
    return (processSeconds() - before) / (double(wall.elapsed()) / 1000.0) * 100.0;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 10;
    inkvale::SystemUserDialogs dialogs;
    inkvale::SystemDesktopActions desktop(dialogs);
    auto *box = new inkvale::AboutWindow(
        inkvale::AboutWindow::environment(QApplication::applicationDirPath(), dialogs, desktop));
    box->show();
    // Let the window settle on the screen before measuring.
    coreShare(1);

    QTextStream out(stdout);
    out << "platform " << QApplication::platformName() << ", " << seconds << " s each, "
        << box->rain().drops().size() << " drops" << Qt::endl;
    const double raining = coreShare(seconds);
    box->ui().rainTimer->stop();
    const double idle = coreShare(seconds);
    out << QString::asprintf("rain running: %.2f %% of one core", raining) << Qt::endl;
    out << QString::asprintf("idle window:  %.2f %% of one core", idle) << Qt::endl;
    out << QString::asprintf("the rain costs %.2f %% of one core (goal: under 2 %%)",
                             raining - idle)
        << Qt::endl;
    delete box;
    return 0;
}
