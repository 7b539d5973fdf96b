// What photos cost beyond their pixels on one 12-megapixel conversion: keeping the photo's
// metadata (reading it from the input, preparing it, writing it into a PNG and a JPG result),
// and reading a HEIC or an AVIF photo, against the conversion itself.
//
// Built with the tests: ninja -C build photo_benchmark
// Run:                  build/bin/photo_benchmark [ROUNDS]   (default 5 rounds of each
//                       measure; the conversion runs once, "Cartoon" on the real tool)
// The photos (4000x3000: a JPEG carrying a camera's records, the same picture as HEIC and as
// AVIF) are made once in build/bench/photos; encoding the AVIF takes a while. Prints the
// median time of each measure, the conversion time and their ratios (goal: keeping the
// metadata under 1 % of the conversion). Times on a loaded machine are noisy; the ratios say
// more than the figures.

#include "convert/conversionjob.h"
#include "convert/photometadata.h"
#include "convert/pictureformats.h"
#include "convert/picturereading.h"
#include "convert/resultplacement.h"
#include "convert/stringtoollog.h"
#include "support/photofixture.h"
#include "support/picturefixtures.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <QBuffer>
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

// The reader of the format `data` holds by its content; empty for none.
QByteArray readerOf(const QByteArray &data)
{
    const PictureFormat *format = formatOfContent(data);
    return format != nullptr ? format->reader : QByteArray();
}

constexpr int Width = 4000;
constexpr int Height = 3000;
constexpr double MetadataGoal = 0.01;

// Smooth colour fields with grain, so that the compressed data is about as dense as a photo's.
QImage photo()
{
    QImage image(Width, Height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < Height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < Width; ++x) {
            const int grain = static_cast<int>(random.bounded(24));
            line[x] = qRgb((x / 17 + grain) & 0xFF, ((x + y) / 23 + grain) & 0xFF,
                           (y / 13 + grain) & 0xFF);
        }
    }
    return image;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
        !file.commit()) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

void ensurePhotos(const QString &jpeg, const QString &heic, const QString &avif)
{
    if (QFileInfo::exists(jpeg) && QFileInfo::exists(heic) && QFileInfo::exists(avif)) {
        return;
    }
    std::printf("Making the photos of %dx%d in %s ...\n", Width, Height,
                qPrintable(QFileInfo(jpeg).path()));
    std::fflush(stdout);
    QDir().mkpath(QFileInfo(jpeg).path());
    const QImage picture = photo();
    write(jpeg, test::withPhotoRecords(test::jpegWithOrientation(picture, 0, 90)));
    write(heic, test::heifPicture(picture, false, test::photoExifBlock()));
    write(avif, test::heifPicture(picture, true, test::photoExifBlock()));
}

// The median seconds of `rounds` runs of `work`.
double median(int rounds, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        times.push_back(double(clock.nsecsElapsed()) / 1e9);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Seconds of keeping the records of `input` in a copy of `result` (PNG or JPG).
double keepingMetadata(const QByteArray &input, const QString &result, int rounds)
{
    QTemporaryDir scratch;
    const QString copy = scratch.filePath(QStringLiteral("result.") + QFileInfo(result).suffix());
    return median(rounds, [&] {
        QFile::remove(copy);
        QFile::copy(result, copy);
        PhotoMetadata metadata = PhotoMetadata::readFrom(input);
        metadata.prepareForResult(QSize(Width, Height), false);
        if (const QString error = metadata.writeInto(copy); !error.isEmpty()) {
            qFatal("%s", qPrintable(error));
        }
    });
}

double decoding(const QString &path, int rounds)
{
    QByteArray bytes = contentOf(path);
    const QByteArray reader = readerOf(bytes);
    return median(rounds, [&] {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const Result<DecodedPicture> reading = readWholePicture(buffer, reader);
        if (!reading.ok()) {
            qFatal("%s: %s", qPrintable(path), qPrintable(reading.error()));
        }
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 5;
    const QString folder = QStringLiteral(INKVALE_BENCH_FOLDER);
    const QString jpeg = folder + QStringLiteral("/photo.jpg");
    const QString heic = folder + QStringLiteral("/photo.heic");
    const QString avif = folder + QStringLiteral("/photo.avif");
    ensurePhotos(jpeg, heic, avif);

    std::printf("Converting the photo once with \"Cartoon\" ...\n");
    std::fflush(stdout);
    QTemporaryDir results;
    const QString png = results.filePath(QStringLiteral("photo.png"));
    StringToolLog log;
    QElapsedTimer clock;
    clock.start();
    if (!convertImage(QStringLiteral("Cartoon"), jpeg, png, log).converted()) {
        qFatal("conversion failed:\n%s", qPrintable(log.text()));
    }
    const double conversion = double(clock.nsecsElapsed()) / 1e9;
    const QString jpg = results.filePath(QStringLiteral("photo.jpg"));
    if (!placeResult(png, jpg, results.path()).ok()) {
        qFatal("cannot make the JPG result");
    }

    const QByteArray input = contentOf(jpeg);
    const double pngMetadata = keepingMetadata(input, png, rounds);
    const double jpgMetadata = keepingMetadata(input, jpg, rounds);
    const double heicDecoding = decoding(heic, rounds);
    const double avifDecoding = decoding(avif, rounds);
    const double jpegDecoding = decoding(jpeg, rounds);

    std::printf("12 MP conversion (\"Cartoon\"): %.1f s\n", conversion);
    for (const auto &[name, seconds] : {std::pair{"PNG", pngMetadata}, {"JPG", jpgMetadata}}) {
        std::printf("Keeping the metadata in a %s result: %.3f s, %.2f %% of the conversion "
                    "(goal below %.0f %%)\n",
                    name, seconds, 100 * seconds / conversion, 100 * MetadataGoal);
    }
    for (const auto &[name, seconds] :
         {std::pair{"HEIC", heicDecoding}, {"AVIF", avifDecoding}, {"JPEG", jpegDecoding}}) {
        std::printf("Decoding the 12 MP %s photo: %.3f s, %.2f %% of the conversion\n", name,
                    seconds, 100 * seconds / conversion);
    }
    return 0;
}
