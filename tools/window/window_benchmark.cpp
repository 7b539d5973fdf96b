// How alive the main window stays while a batch converts: the longest gap between two turns
// of its event loop while 8 pictures of about 1 megapixel convert with the real tool.
//
// Usage: QT_QPA_PLATFORM=offscreen build/bin/window-benchmark [PICTURES]
#include "app/mainwindow.h"
#include "loopgapmeter.h"
#include "support/testenvironment.h"
#include "windowdriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

using inkvale::tools::LoopGapMeter;
using inkvale::tools::WindowDriver;

int main(int argc, char *argv[])
{
    inkvale::test::TestEnvironment environment;
    QApplication app(argc, argv);
    const int pictures = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 8;
    QTextStream out(stdout);

    WindowDriver driver(false);
    driver.form().show();
    driver.addPictures(pictures, 1152, 864);

    QElapsedTimer clock;
    LoopGapMeter meter;
    clock.start();
    meter.start();
    driver.startBatch(QStringLiteral("Cartoon"), QStringLiteral("JPG"));
    const bool done = driver.waitForBatch(30 * 60 * 1000);
    meter.stop();
    const qint64 total = clock.elapsed();
    const qint64 longest = meter.longestGapMs();
    const qint64 turns = meter.turns();

    out << "pictures:                 " << pictures << " of 1152 x 864, Cartoon to JPG\n";
    out << "batch wall time:          " << total << " ms" << (done ? "" : " (timed out)") << "\n";
    out << "event-loop turns:         " << turns << "\n";
    out << "longest gap between turns: " << longest << " ms (goal: below 100 ms)\n";
    return done && longest < 100 ? 0 : 1;
}
