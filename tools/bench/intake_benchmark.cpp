// Compares decoding a folder of photos one after another with adding the same folder through
// ImageIntake, which decodes on worker threads, and measures how long the event loop is held
// up meanwhile.
//
// Built with the tests: ninja -C build intake_benchmark
// Run:                  build/bin/intake_benchmark [ROUNDS] [--view]   (default 5 rounds)
// --view also shows the model in a table (offscreen unless QT_QPA_PLATFORM says otherwise),
// so that painting the new rows takes its share of the processor as in the window.
// The 200 pictures (JPEG, about 2 megapixels) are made once in build/bench/intake-pictures.
// Prints wall and processor time of both per round, the median ratio intake/one-by-one (goal:
// below 0.75 on two cores) and the longest pause between two turns of the event loop (goal: below
// 100 ms).

#include "imagelist/imageintake.h"
#include "imagelist/imagelistmodel.h"
#include "imagelist/imageloader.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTableView>
#include <QtConcurrent/QtConcurrentMap>
#include <QThread>
#include <QTimer>

using namespace inkvale;

namespace {

constexpr int PictureCount = 200;
constexpr int Width = 1680;
constexpr int Height = 1200;
constexpr double RatioGoal = 0.75;
constexpr double GapGoalMs = 100;

QString picturePath(const QString &folder, int index)
{
    return folder + QString::asprintf("/picture-%03d.jpg", index);
}

// Smooth colour fields with grain, so that the JPEG data is about as dense as a photo's.
void makePicture(const QString &path, int index)
{
    QImage image(Width, Height, QImage::Format_RGB32);
    QRandomGenerator random(static_cast<quint32>(index + 1));
    const int shift = index * 7;
    for (int y = 0; y < Height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < Width; ++x) {
            const int grain = static_cast<int>(random.bounded(24));
            line[x] = qRgb((x / 7 + shift + grain) & 0xFF, ((x + y) / 9 + grain) & 0xFF,
                           (y / 5 + shift * 3 + grain) & 0xFF);
        }
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "JPEG", 90) || !file.commit()) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

void ensurePictures(const QString &folder)
{
    QDir().mkpath(folder);
    QList<int> missing;
    for (int i = 0; i < PictureCount; ++i) {
        if (!QFileInfo::exists(picturePath(folder, i))) {
            missing.append(i);
        }
    }
    if (!missing.isEmpty()) {
        std::printf("Making %lld pictures of %dx%d in %s ...\n",
                    static_cast<long long>(missing.size()), Width, Height, qPrintable(folder));
        std::fflush(stdout);
        QtConcurrent::blockingMap(missing,
                                  [&folder](int i) { makePicture(picturePath(folder, i), i); });
    }
}

double processorSeconds()
{
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

struct Times
{
    double wall = 0;
    double cpu = 0;
};

Times decodeOneByOne(const QString &folder)
{
    const double cpuStart = processorSeconds();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < PictureCount; ++i) {
        const Result<QSize> result = loadPicture(picturePath(folder, i));
        if (!result.ok()) {
            qFatal("%s: %s", qPrintable(picturePath(folder, i)), qPrintable(result.error()));
        }
    }
    return {clock.nsecsElapsed() / 1e9, processorSeconds() - cpuStart};
}

// Adds the folder into a model with the event loop running until the last row; a 10 ms timer
// tells how long the loop was kept from turning.
Times addThroughIntake(const QString &folder, bool withView, double &longestGapMs)
{
    ImageListModel model;
    QTableView view;
    if (withView) {
        view.setModel(&model);
        view.resize(800, 600);
        view.show();
    }
    ImageIntake intake(model);

    QElapsedTimer clock;
    qint64 lastTurn = 0;
    qint64 longestGap = 0;
    const auto turn = [&] {
        const qint64 now = clock.nsecsElapsed();
        longestGap = std::max(longestGap, now - lastTurn);
        lastTurn = now;
    };
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, turn);

    QEventLoop loop;
    QObject::connect(&intake, &ImageIntake::busyChanged, &loop, [&loop](bool busy) {
        if (!busy) {
            loop.quit();
        }
    });
    QObject::connect(&intake, &ImageIntake::fileFailed,
                     [](const QString &path, const QString &message) {
                         qFatal("%s: %s", qPrintable(path), qPrintable(message));
                     });

    const double cpuStart = processorSeconds();
    clock.start();
    ticker.start();
    intake.addFolders({folder});
    loop.exec();
    turn();
    const Times times{clock.nsecsElapsed() / 1e9, processorSeconds() - cpuStart};
    if (model.rowCount() != PictureCount) {
        qFatal("%d rows for %d pictures", model.rowCount(), PictureCount);
    }
    longestGapMs = longestGap / 1e6;
    return times;
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readLine()).trimmed()
                                          : QStringLiteral("unknown");
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    int rounds = 5;
    bool withView = false;
    for (const QString &argument : app.arguments().mid(1)) {
        if (argument == QLatin1String("--view")) {
            withView = true;
        } else {
            rounds = std::max(1, argument.toInt());
        }
    }
    const QString folder = QStringLiteral(INKVALE_BENCH_PICTURES);
    ensurePictures(folder);

    std::printf("%d pictures of %dx%d, %d cores, %s, load average before: %s\n", PictureCount,
                Width, Height, QThread::idealThreadCount(),
                withView ? "model shown in a table" : "model only", qPrintable(loadAverage()));
    // Each round times both ways back to back; the median of the rounds' ratios is the
    // figure, as one disturbed round on a shared machine would skew a best-of comparison.
    QList<double> ratios;
    double worstGap = 0;
    for (int round = 1; round <= rounds; ++round) {
        const Times serial = decodeOneByOne(folder);
        double gap = 0;
        const Times intake = addThroughIntake(folder, withView, gap);
        ratios.append(intake.wall / serial.wall);
        worstGap = std::max(worstGap, gap);
        std::printf("round %d  one by one: wall %6.3f s cpu %6.3f s   intake: wall %6.3f s cpu "
                    "%6.3f s   ratio %.3f   longest pause %5.1f ms\n",
                    round, serial.wall, serial.cpu, intake.wall, intake.cpu, ratios.constLast(),
                    gap);
        std::fflush(stdout);
    }
    std::sort(ratios.begin(), ratios.end());
    const qsizetype middle = ratios.size() / 2;
    const double ratio = ratios.size() % 2 == 1 ? ratios.at(middle)
                                                : (ratios.at(middle - 1) + ratios.at(middle)) / 2;
    std::printf("\nratio intake/one-by-one, median of %d rounds: %.3f (%s; goal: below %.2f on two "
                "cores)\n",
                rounds, ratio, ratio < RatioGoal ? "met" : "NOT met", RatioGoal);
    std::printf("longest pause of the event loop: %.1f ms (%s; goal: below %.0f ms)\n", worstGap,
                worstGap < GapGoalMs ? "met" : "NOT met", GapGoalMs);
    std::printf("load average after: %s\n", qPrintable(loadAverage()));
    return 0;
}
