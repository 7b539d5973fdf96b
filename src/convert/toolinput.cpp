#include "convert/toolinput.h"

#include "base/fspath.h"
#include "convert/heifcodec.h"
#include "convert/pictureformats.h"
#include "convert/picturereading.h"

#include <algorithm>
#include <filesystem>
#include <QDir>
#include <QImageWriter>
#include <system_error>

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
                                   int largestSide)
{
    const Result<QByteArray> file = readPictureFile(input);
    if (!file.ok()) {
        return Result<ToolInput>::failure(file.error());
    }
    const PictureFormat *format = formatOfContent(file.value());
    if (format == nullptr) {
        return Result<ToolInput>::failure(QStringLiteral("Not a picture: the file holds no %1 data")
                                              .arg(recognisedFormatNames()));
    }
    const Result<DecodedPicture> reading = readWholePicture(file.value(), format->reader);
    if (!reading.ok()) {
        return Result<ToolInput>::failure(reading.error());
    }
    const QString base = QDir(scratchFolder).filePath(QStringLiteral("input"));
    const DecodedPicture &picture = reading.value();
    Result<QString> handed;
    const QSize size = limitedSize(picture.image.size(), largestSide);
    if (size != picture.image.size()) {
        // Area averaging: no aliasing of fine detail, which the effects would pick up as edges.
        handed = writeCopy(
            picture.image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), base);
    } else if (picture.turned || picture.severalFrames || !format->toolReads) {
        // The tool would read the photo lying on its side, write one picture per frame, or
        // not read the format at all.
        handed = writeCopy(picture.image, base);
    } else {
        // The tool picks its reader by the extension.
        const QString link = base + QLatin1Char('.') + format->extensions.constFirst();
        const Result<> linked = linkForTool(input, link);
        handed = linked.ok() ? Result<QString>(link) : Result<QString>::failure(linked.error());
    }
    if (!handed.ok()) {
        return Result<ToolInput>::failure(
            QStringLiteral("Unable to hand the picture to the tool: ") + handed.error());
    }
    // A HEIF container keeps the records beside the picture, where exiv2 0.27 cannot read.
    const bool heif = format->reader == "heif" || format->reader == "avif";
    return ToolInput{
        QDir::toNativeSeparators(handed.value()),
        heif ? HeifCodec::metadataOf(file.value()) : PhotoMetadata::readFrom(file.value()), size};
}

} // namespace inkvale
