#include "convert/resultplacement.h"

#include "base/fspath.h"
#include "convert/filenames.h"
#include "convert/heifcodec.h"
#include "convert/pictureformats.h"
#include "convert/picturereading.h"
#include "platform/fileplacement.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <system_error>

namespace inkvale {
namespace {

QImage flattenOntoWhite(const QImage &image)
{
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

// `metadata` goes with an AVIF picture, whose encoder embeds the records itself.
Result<> transcode(QImage image, const QString &target, const PictureFormat &format,
                   int chosenQuality, const PhotoMetadata &metadata)
{
    if (format.opaque && image.hasAlphaChannel()) {
        image = flattenOntoWhite(image);
    }
    // Only a lossy format's quality is the user's to choose.
    const int quality = format.quality >= 0 && chosenQuality > 0 ? chosenQuality : format.quality;
    if (format.writer == "avif") {
        const QString error = HeifCodec::writeAvif(image, target, quality, metadata);
        return error.isEmpty() ? Result<>::success() : Result<>::failure(error);
    }
    QImageWriter writer(target, format.writer);
    writer.setQuality(quality);
    if (!writer.write(image)) {
        return Result<>::failure(QStringLiteral("Unable to write the picture: ") +
                                 writer.errorString());
    }
    return Result<>::success();
}

// Another copy of the program, or another machine writing the same shared folder, may take
// the name while the tool runs: the result then takes the next free one, under the same
// exclusive rule, instead of being thrown away.
Result<> placeUnderFreeName(const QString &source, const QString &output, const QString &wantedName)
{
    constexpr int kAttempts = 1000;
    QString target = output;
    for (int attempt = 1;; ++attempt) {
        try {
            platform::placeFileExclusively(toFsPath(source), toFsPath(target));
            return Result<>::success();
        } catch (const std::system_error &error) {
            if (error.code() != std::errc::file_exists || wantedName.isEmpty() ||
                attempt == kAttempts) {
                return Result<>::failure(
                    QStringLiteral("Unable to save %1: %2")
                        .arg(QDir::toNativeSeparators(target),
                             QString::fromLocal8Bit(error.code().message().c_str())));
            }
        }
        target = findFilenameThatDoesNotExist(wantedName);
    }
}

} // namespace

Result<> placeResult(const QString &toolOutput, const QString &output, const QString &scratchFolder,
                     const QString &wantedName, const ResultContent &content, QString *note)
{
    // A tool that ran out of room or was killed while writing leaves a file cut off: read
    // back whole, or not delivered.
    QFile file;
    const Result<const PictureFormat *> opened = openPicture(toolOutput, file);
    const PictureFormat *written = opened.ok() ? opened.value() : nullptr;
    const Result<DecodedPicture> reading =
        written != nullptr ? readWholePicture(file, written->reader) : Result<DecodedPicture>();
    file.close();
    if (!reading.ok()) {
        return Result<>::failure(QStringLiteral("The tool's picture is incomplete"));
    }
    QString source = toolOutput;
    const PictureFormat *format = formatOfName(output);
    const QImage &image = reading.value().image;
    PhotoMetadata metadata;
    if (format != nullptr && format->keepsMetadata && !content.metadata.isEmpty()) {
        metadata = content.metadata;
        metadata.prepareForResult(image.size(), content.options.keepLocation);
    }
    if (format != nullptr && !format->writer.isEmpty() && format->writer != written->writer) {
        source = QDir(scratchFolder)
                     .filePath(QStringLiteral("result.") + format->extensions.constFirst());
        const Result<> transcoded =
            transcode(image, source, *format, content.options.quality, metadata);
        if (!transcoded.ok()) {
            return transcoded;
        }
    }
    if (!metadata.isEmpty() && format->writer != "avif") {
        const QString missing = metadata.writeInto(source);
        if (note != nullptr) {
            *note = missing;
        }
    }
    return placeUnderFreeName(source, output, wantedName);
}

} // namespace inkvale
