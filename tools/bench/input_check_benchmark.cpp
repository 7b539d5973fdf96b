// What the engine's own work around one conversion of a 12-megapixel photo costs, against the
// conversion itself: checking that the input decodes whole and handing it to the tool under
// a neutral name (for a portrait photo with an orientation tag, writing its upright copy),
// and reading the tool's picture back whole before it is placed.
//
// Built with the tests: ninja -C build input_check_benchmark
// Run:                  build/bin/input_check_benchmark [ROUNDS]   (default 5 rounds of the
//                       checks; every conversion runs once, "Cartoon" on the real tool)
// The two photos (4000x3000 JPEG; the portrait stored lying down with orientation 6) are made
// once in build/bench/input-check. Prints the median time of each check, the conversion time,
// and their ratios (goals: the input check under 2 %, the portrait's upright copy under 3 %).
// Times on a loaded machine are noisy; the ratios say more than the figures.

#include "convert/conversionjob.h"
#include "convert/pictureformats.h"
#include "convert/picturereading.h"
#include "convert/stringtoollog.h"
#include "convert/toolinput.h"
#include "support/picturefixtures.h"

#include <algorithm>
#include <cstdio>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTemporaryDir>
#include <vector>

using namespace inkvale;

namespace {

constexpr int Width = 4000;
constexpr int Height = 3000;
constexpr double InputGoal = 0.02;
constexpr double UprightGoal = 0.03;

// Smooth colour fields with grain, so that the JPEG data is about as dense as a photo's.
QImage photo(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int grain = static_cast<int>(random.bounded(24));
            line[x] = qRgb((x / 17 + grain) & 0xFF, ((x + y) / 23 + grain) & 0xFF,
                           (y / 13 + grain) & 0xFF);
        }
    }
    return image;
}

void write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

void ensurePhotos(const QString &landscape, const QString &portrait)
{
    if (QFileInfo::exists(landscape) && QFileInfo::exists(portrait)) {
        return;
    }
    std::printf("Making two photos of %dx%d in %s ...\n", Width, Height,
                qPrintable(QFileInfo(landscape).path()));
    std::fflush(stdout);
    QDir().mkpath(QFileInfo(landscape).path());
    write(landscape, test::jpegWithOrientation(photo(Width, Height), 0, 90));
    write(portrait, test::jpegWithOrientation(photo(Height, Width), 6, 90));
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Seconds of prepareToolInput, each round in a fresh scratch folder.
double inputCheck(const QString &photoPath, int rounds)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QTemporaryDir scratch;
        QElapsedTimer clock;
        clock.start();
        const Result<ToolInput> input = prepareToolInput(photoPath, scratch.path());
        times.push_back(clock.nsecsElapsed() / 1e9);
        if (!input.ok()) {
            qFatal("%s: %s", qPrintable(photoPath), qPrintable(input.error()));
        }
    }
    return median(times);
}

// Seconds of reading the tool's result back whole, as placing it does.
double resultCheck(const QString &resultPath, int rounds)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer clock;
        clock.start();
        QFile file;
        const Result<> opened = openPictureFile(resultPath, file);
        const PictureFormat *format = opened.ok() ? formatOfContent(pictureStart(file)) : nullptr;
        const Result<DecodedPicture> reading =
            format != nullptr ? readWholePicture(file, format->reader)
                              : Result<DecodedPicture>::failure(opened.error());
        times.push_back(clock.nsecsElapsed() / 1e9);
        if (!reading.ok()) {
            qFatal("%s: %s", qPrintable(resultPath), qPrintable(reading.error()));
        }
    }
    return median(times);
}

double conversion(const QString &photoPath, const QString &output)
{
    QFile::remove(output);
    StringToolLog log;
    QElapsedTimer clock;
    clock.start();
    const ConversionResult result = convertImage(QStringLiteral("Cartoon"), photoPath, output, log);
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (!result.converted()) {
        qFatal("conversion failed: %s\n%s", qPrintable(result.failure), qPrintable(log.text()));
    }
    return seconds;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 5;
    const QString folder = QStringLiteral(INKVALE_BENCH_FOLDER);
    const QString landscape = folder + QStringLiteral("/landscape.jpg");
    const QString portrait = folder + QStringLiteral("/portrait-orientation-6.jpg");
    ensurePhotos(landscape, portrait);
    QTemporaryDir results;

    const double landscapeCheck = inputCheck(landscape, rounds);
    const double portraitCheck = inputCheck(portrait, rounds);
    std::printf("Converting each photo once with \"Cartoon\" ...\n");
    std::fflush(stdout);
    const QString landscapeResult = results.filePath(QStringLiteral("landscape.png"));
    const QString portraitResult = results.filePath(QStringLiteral("portrait.png"));
    const double landscapeConversion = conversion(landscape, landscapeResult);
    const double portraitConversion = conversion(portrait, portraitResult);
    const double readBack = resultCheck(landscapeResult, rounds);
    const QSize portraitSize = QImage(portraitResult).size();

    std::printf("12 MP landscape photo: input check %.3f s, conversion %.1f s: %.2f %% (goal "
                "below %.0f %%)\n",
                landscapeCheck, landscapeConversion, 100 * landscapeCheck / landscapeConversion,
                100 * InputGoal);
    std::printf("12 MP portrait photo, orientation 6: input check with upright copy %.3f s, "
                "conversion %.1f s: %.2f %% (goal below %.0f %%); result %dx%d\n",
                portraitCheck, portraitConversion, 100 * portraitCheck / portraitConversion,
                100 * UprightGoal, portraitSize.width(), portraitSize.height());
    std::printf("Reading the tool's 12 MP picture back whole: %.3f s, %.2f %% of the conversion\n",
                readBack, 100 * readBack / landscapeConversion);
    return 0;
}
