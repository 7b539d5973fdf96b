// How alive the main window stays while a batch converts: the longest gap between two turns
// of its event loop while 8 pictures of about 1 megapixel (or the given files) convert with
// the real tool, several at once as the machine allows.
//
// Usage: QT_QPA_PLATFORM=offscreen build/bin/window-benchmark [PICTURES | FILE...]
#include "app/mainwindow.h"
#include "loopgapmeter.h"
#include "support/testenvironment.h"
#include "windowdriver.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>

using inkvale::tools::LoopGapMeter;
using inkvale::tools::WindowDriver;

int main(int argc, char *argv[])
{
    inkvale::test::TestEnvironment environment;
    QApplication app(argc, argv);
    const QStringList files = QCoreApplication::arguments().mid(1);
    bool isCount = files.size() == 1;
    const int count = isCount ? files.first().toInt(&isCount) : 8;
    QTextStream out(stdout);

    WindowDriver driver(false);
    driver.form().show();
    QString description;
    if (files.isEmpty() || isCount) {
        driver.addPictures(count, 1152, 864);
        description = QStringLiteral("%1 of 1152 x 864").arg(count);
    } else {
        driver.addFiles(files);
        description = QStringLiteral("%1 given files").arg(files.size());
    }

    QElapsedTimer clock;
    LoopGapMeter meter;
    clock.start();
    meter.start();
    driver.startBatch(QStringLiteral("Cartoon"), QStringLiteral("PNG"));
    const bool done = driver.waitForBatch(30 * 60 * 1000);
    meter.stop();
    const qint64 total = clock.elapsed();
    const qint64 longest = meter.longestGapMs();
    const qint64 turns = meter.turns();

    out << "pictures:                 " << description << ", Cartoon to PNG\n";
    out << "batch wall time:          " << total << " ms" << (done ? "" : " (timed out)") << "\n";
    out << "files written:            "
        << QDir(driver.folder() + QStringLiteral("/out-Cartoon")).entryList(QDir::Files).size()
        << "\n";
    out << "meter ticks (5 ms):       " << turns << "\n";
    out << "longest gap between turns: " << longest << " ms (goal: below 100 ms)\n";
    return done && longest < 100 ? 0 : 1;
}
