// How quickly the preview shows a photograph: for a 12 megapixel photo and each effect the
// installed tool has, the time from a click in the list to the first picture in the pane (the
// effect on a copy scaled to the pane) and to the exact picture (the whole photo rendered,
// scaled down), and from View > "100 % View" to its region rendered (the pane's middle, the
// photo decoded afresh), against the plain run of the tool on the whole photo; and how alive
// the window stays meanwhile. On a shared, loaded machine the figures are noisy: compare within a
// run. With a PHOTO it measures that photo instead of a drawn picture, and also how alike the two
// pictures look: d(exact picture scaled to the quick one's size, quick picture) against
// d(quick picture, the photo at that size), d the root-mean-square difference of RGB (goal:
// at most 1/3). EFFECTS (comma-separated) limits the effects; SKIP_PLAIN=1 leaves out the
// plain tool runs; REGION_ONLY=1 measures only the 100 % view, from a click in the list with
// the view on.
//
// Usage: QT_QPA_PLATFORM=offscreen build/bin/preview-benchmark [RUNS [PHOTO]]
#include "app/mainwindow.h"
#include "convert/toolcommand.h"
#include "convert/toollocation.h"
#include "imagelist/imagelistview.h"
#include "imagelist/imagepreview.h"
#include "imagelist/previewpicture.h"
#include "loopgapmeter.h"
#include "support/testenvironment.h"
#include "windowdriver.h"

#include <algorithm>
#include <cmath>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QSignalSpy>
#include <QTextStream>

using inkvale::ImagePreview;
using inkvale::tools::LoopGapMeter;
using inkvale::tools::WindowDriver;

namespace {

qint64 median(QList<qint64> values)
{
    if (values.isEmpty()) {
        return -1;
    }
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// The plain tool on the whole picture, started and awaited as a script would; with Inkvale's
// recipe file where the tool lacks the effect's own command, as the window runs it.
qint64 plainRun(const QString &programFolder, const QString &effect, bool recipe,
                const QString &input, const QString &output)
{
    const inkvale::ToolCommand command =
        recipe ? inkvale::ToolCommand::forRecipe(
                     effect, inkvale::ToolLocation(programFolder).recipeFile(), input, output)
               : inkvale::ToolCommand::forEffect(effect, input, output);
    QFile::remove(output);
    QElapsedTimer clock;
    clock.start();
    QProcess tool;
    tool.setWorkingDirectory(programFolder + QStringLiteral("/gmic"));
    tool.start(programFolder + QStringLiteral("/gmic/gmic"), command.arguments);
    tool.waitForFinished(-1);
    return clock.elapsed();
}

struct PreviewTimes
{
    qint64 first = -1; // the scaled copy's render on screen
    qint64 exact = -1; // the whole picture's render on screen
    QImage quick;
    QImage whole;
};

// The root-mean-square difference of the RGB values of two pictures of one size, 0 to 255.
double difference(const QImage &a, const QImage &b)
{
    const QImage first = a.convertToFormat(QImage::Format_RGB32);
    const QImage second = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int y = 0; y < first.height(); ++y) {
        const auto *p = reinterpret_cast<const QRgb *>(first.constScanLine(y));
        const auto *q = reinterpret_cast<const QRgb *>(second.constScanLine(y));
        for (int x = 0; x < first.width(); ++x) {
            const double r = qRed(p[x]) - qRed(q[x]);
            const double g = qGreen(p[x]) - qGreen(q[x]);
            const double b2 = qBlue(p[x]) - qBlue(q[x]);
            sum += r * r + g * g + b2 * b2;
        }
    }
    return std::sqrt(sum / (3.0 * first.width() * first.height()));
}

// How far the exact picture is from the quick one, against how far the effect takes the
// photo; -1 when either picture is missing.
double lookRatio(const PreviewTimes &times, const QString &photo)
{
    if (times.quick.isNull() || times.whole.isNull()) {
        return -1;
    }
    const QSize size = times.quick.size();
    QImageReader reader(photo);
    reader.setAutoTransform(true);
    const QImage original =
        reader.read().scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage exact = times.whole.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return difference(exact, times.quick) / difference(times.quick, original);
}

} // namespace

int main(int argc, char *argv[])
{
    inkvale::test::TestEnvironment environment;
    QApplication app(argc, argv);
    const int runs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1;
    QTextStream out(stdout);

    WindowDriver driver(true);
    inkvale::MainWindow &form = driver.form();
    form.show();
    QSignalSpy probed(&form, &inkvale::MainWindow::effectsProbed);
    probed.wait(60000);
    form.ui().showPreviewAction->trigger();
    // A window of a laptop's screen, whose pane the preview fills.
    form.resize(1280, 800);
    QTest::qWait(300);
    const QString given = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    QString photo;
    if (given.isEmpty()) {
        photo = driver.addPictures(1, 4000, 3000).first();
    } else {
        // A copy: each run touches its time.
        photo =
            QDir(driver.folder()).filePath(QStringLiteral("photo.") + QFileInfo(given).suffix());
        QFile::copy(given, photo);
        driver.addFiles({photo});
    }
    const QStringList wanted =
        qEnvironmentVariable("EFFECTS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    const bool skipPlain = qEnvironmentVariable("SKIP_PLAIN") == QLatin1String("1");
    form.ui().imageList->selectRow(0);
    ImagePreview &preview = form.preview();

    // The click to each picture painted in the pane; with the meter, how long the event loop
    // stalled meanwhile.
    // A kept render or original would show at once: the photo is "changed" before each run.
    const auto touchPhoto = [&] {
        QFile file(photo);
        file.open(QIODevice::ReadWrite);
        file.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
        file.close();
    };
    const auto previewRun = [&](LoopGapMeter *meter) {
        touchPhoto();
        PreviewTimes times;
        QElapsedTimer clock;
        QEventLoop loop;
        const QMetaObject::Connection shown = QObject::connect(
            &preview, &ImagePreview::pictureShown, &loop, [&](const QString &, bool exact) {
                form.ui().previewImage->repaint();
                (exact ? times.exact : times.first) = clock.elapsed();
                (exact ? times.whole : times.quick) = form.ui().previewImage->image();
            });
        QObject::connect(&preview, &ImagePreview::settled, &loop, &QEventLoop::quit);
        clock.start();
        if (meter) {
            meter->start();
        }
        form.listClicked();
        loop.exec();
        if (meter) {
            meter->stop();
        }
        QObject::disconnect(shown);
        return times;
    };

    // View > "100 % View" to its region on screen, then back to the whole picture (kept); or,
    // with the view kept on, a click in the list to the region.
    const bool regionOnly = qEnvironmentVariable("REGION_ONLY") == QLatin1String("1");
    QSize shownRegion;
    const auto regionRun = [&] {
        qint64 time = -1;
        QElapsedTimer clock;
        QEventLoop loop;
        QObject::connect(&preview, &ImagePreview::regionShown, &loop, [&] {
            form.ui().previewImage->repaint();
            time = clock.elapsed();
            shownRegion = form.ui().previewImage->region().size();
            loop.quit();
        });
        QObject::connect(&preview, &ImagePreview::settled, &loop, &QEventLoop::quit);
        if (regionOnly) {
            touchPhoto();
            clock.start();
            form.listClicked();
        } else {
            clock.start();
            form.ui().actualSizeAction->trigger();
        }
        loop.exec();
        if (!regionOnly) {
            form.ui().actualSizeAction->trigger();
        }
        return time;
    };

    const QString plainOutput = QDir(driver.folder()).filePath(QStringLiteral("plain.png"));
    const QSize photoSize = QImageReader(photo).size();
    out << "picture: " << (given.isEmpty() ? QStringLiteral("drawn") : given) << " "
        << photoSize.width() << " x " << photoSize.height() << ", median of " << runs
        << " run(s)\n";
    out << "effect        plain gmic   first picture   exact picture   look (exact vs quick)   "
           "100 % view\n";
    out.flush();
    if (regionOnly) {
        form.ui().actualSizeAction->trigger();
    }
    bool firstInTime = true;
    QComboBox &effects = *form.ui().effectBox;
    for (int i = 0; i < effects.count(); ++i) {
        const QString effect = effects.itemText(i);
        if (!form.effectAvailability().isAvailable(effect) ||
            (!wanted.isEmpty() && !wanted.contains(effect))) {
            continue;
        }
        effects.setCurrentIndex(i);
        QList<qint64> plain;
        QList<qint64> first;
        QList<qint64> exact;
        QList<qint64> region;
        double look = -1;
        // Pairs run back to back, so that a busy machine weighs on both sides alike.
        for (int run = 0; run < runs && regionOnly; ++run) {
            region.append(regionRun());
        }
        for (int run = 0; run < runs && !regionOnly; ++run) {
            plain.append(skipPlain ? -1
                                   : plainRun(driver.folder(), effect,
                                              form.effectAvailability().usesRecipe(effect), photo,
                                              plainOutput));
            const PreviewTimes times = previewRun(nullptr);
            first.append(times.first);
            exact.append(times.exact);
            look = lookRatio(times, photo);
            region.append(regionRun());
        }
        firstInTime = firstInTime && (regionOnly || (median(first) >= 0 && median(first) <= 500));
        out << QStringLiteral("%1 %2 ms %3 ms %4 ms %5 %6 ms\n")
                   .arg(effect, -12)
                   .arg(median(plain), 8)
                   .arg(median(first), 12)
                   .arg(median(exact), 12)
                   .arg(look, 14, 'f', 3)
                   .arg(median(region), 20);
        out.flush();
    }
    // Measured apart: the meter's busy event loop takes a processor from the tool.
    LoopGapMeter meter;
    effects.setCurrentIndex(0);
    previewRun(&meter);
    const qint64 longestGap = meter.longestGapMs();
    out << "pane " << form.ui().previewImage->width() << " x " << form.ui().previewImage->height()
        << ", 100 % view of a region of " << shownRegion.width() << " x " << shownRegion.height()
        << " pixels\n";
    out << "first picture within 500 ms for every effect: " << (firstInTime ? "yes" : "no") << "\n";
    out << "longest event-loop gap: " << longestGap << " ms (goal: below 100 ms)\n";
    return firstInTime && longestGap < 100 ? 0 : 1;
}
