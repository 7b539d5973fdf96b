#include "convert/toolinput.h"

#include "base/fspath.h"
#include "convert/heifcodec.h"
#include "convert/memorybudget.h"
#include "convert/pictureformats.h"
#include "convert/picturereading.h"

#include <algorithm>
#include <filesystem>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace inkvale {
namespace {

// The decoded picture in a format the tool reads quickly and without loss: BMP when opaque
// (a photo), PNG stored without compression where it has transparency.
Result<QString> writeCopy(const QImage &image, const QString &base)
{
    const bool alpha = image.hasAlphaChannel();
    const QString written = base + (alpha ? QStringLiteral(".png") : QStringLiteral(".bmp"));
    QImageWriter writer(written, alpha ? "png" : "bmp");
    if (alpha) {
        writer.setCompression(0);
    }
    if (!writer.write(alpha ? image : image.convertToFormat(QImage::Format_RGB32))) {
        return Result<QString>::failure(writer.errorString());
    }
    return written;
}

// Copies what `source` holds, from its start, into the new file `target`, a piece at a time;
// never more than the largest picture file. Returns the reason on failure.
QString copyFile(QFile &source, const QString &target)
{
    QFile copy(target);
    if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        return copy.errorString();
    }
    source.seek(0);
    char buffer[1 << 16];
    quint64 total = 0;
    for (;;) {
        const qint64 got = source.read(buffer, sizeof buffer);
        if (got < 0) {
            return source.errorString();
        }
        if (got == 0) {
            break;
        }
        total += quint64(got);
        // A file that grows while it is read.
        if (total > kLargestPictureFile) {
            return QStringLiteral("The file is larger than any picture Inkvale reads (%1 GB)")
                .arg(kLargestPictureFile >> 30);
        }
        if (copy.write(buffer, got) != got) {
            return copy.errorString();
        }
    }
    return copy.flush() ? QString() : copy.errorString();
}

} // namespace

Result<> linkForTool(const QString &file, const QString &link)
{
    std::error_code ec;
    const fs::path target = fs::absolute(toFsPath(file), ec);
    if (ec) {
        return Result<>::failure(QString::fromLocal8Bit(ec.message().c_str()));
    }
    const fs::path name = toFsPath(link);
    fs::create_symlink(target, name, ec);
    if (ec) {
        fs::create_hard_link(target, name, ec);
    }
    if (ec) {
        fs::copy_file(target, name, ec);
    }
    return ec ? Result<>::failure(QString::fromLocal8Bit(ec.message().c_str()))
              : Result<>::success();
}

QSize limitedSize(const QSize &size, int largestSide)
{
    if (largestSide <= 0 || std::max(size.width(), size.height()) <= largestSide) {
        return size;
    }
    return size.scaled(largestSide, largestSide, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

Result<ToolInput> prepareToolInput(const QString &input, const QString &scratchFolder,
                                   const ToolInputLimits &limits)
{
    const auto fail = [](const QString &reason) {
        return Result<ToolInput>::failure(reason);
    };
    QFile source;
    const Result<const PictureFormat *> opened = openPicture(input, source);
    if (!opened.ok()) {
        return fail(opened.error());
    }
    const PictureFormat *format = opened.value();
    // From the header alone, before anything is copied or decoded.
    const Result<QSize> header = readPictureHeader(source, format->reader);
    if (!header.ok()) {
        return fail(header.error());
    }
    const qint64 pixels = qint64(header.value().width()) * header.value().height();
    // The tool works on the picture as it gets it.
    const QSize toolSize = limitedSize(header.value(), limits.largestSide);
    if (const QString refusal = memoryRefusal(
            limits.effect, qint64(toolSize.width()) * toolSize.height(), limits.memoryBudget);
        !refusal.isEmpty()) {
        return fail(refusal);
    }
    // The copy costs what the file holds: a file far larger than any coding of its picture
    // (8 bytes a pixel, and room for metadata) holds something else, or nothing at all (a
    // sparse file), and is not copied.
    constexpr qint64 kMetadataRoom = qint64(64) << 20;
    if (source.size() > pixels * 8 + kMetadataRoom) {
        return fail(QStringLiteral("The file is far larger than its picture: %1 bytes for %2 x "
                                   "%3 pixels")
                        .arg(source.size())
                        .arg(header.value().width())
                        .arg(header.value().height()));
    }
    // The tool gets a copy of its own, read from the file that was opened, and that copy is
    // what is checked: a file renamed over the original, or rewritten in place, while the
    // tool starts changes nothing. The tool picks its reader by the extension.
    const QString base = QDir(scratchFolder).filePath(QStringLiteral("input"));
    const QString copy = base + QLatin1Char('.') + format->extensions.constFirst();
    const QString handOver = QStringLiteral("Unable to hand the picture to the tool: ");
    if (const QString error = copyFile(source, copy); !error.isEmpty()) {
        return fail(handOver + error);
    }
    source.close();
    QFile checked(copy);
    if (!checked.open(QIODevice::ReadOnly)) {
        return fail(handOver + checked.errorString());
    }
    const Result<DecodedPicture> reading = readWholePicture(checked, format->reader);
    if (!reading.ok()) {
        return fail(reading.error());
    }
    // The records of the checked copy too. A HEIF container keeps them beside the picture,
    // where exiv2 0.27 cannot read; anything else is read whole, which the size check above
    // bounds by the picture.
    checked.seek(0);
    const bool heif = format->reader == "heif" || format->reader == "avif";
    PhotoMetadata metadata =
        heif ? HeifCodec::metadataOf(checked) : PhotoMetadata::readFrom(checked.readAll());
    checked.close();
    const DecodedPicture &picture = reading.value();
    const QSize size = limitedSize(picture.image.size(), limits.largestSide);
    const bool scaled = size != picture.image.size();
    Result<QString> handed = copy;
    if (scaled || picture.turned || picture.severalFrames || !format->toolReads) {
        // The tool would work on a larger picture than asked, read the photo lying on its
        // side, write one picture per frame, or not read the format at all. Scaled with area
        // averaging: no aliasing of fine detail, which the effects would pick up as edges.
        QFile::remove(copy);
        handed = writeCopy(
            scaled ? picture.image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                   : picture.image,
            base);
    }
    if (!handed.ok()) {
        return fail(handOver + handed.error());
    }
    return ToolInput{QDir::toNativeSeparators(handed.value()), std::move(metadata), size};
}

} // namespace inkvale
