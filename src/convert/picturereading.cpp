#include "convert/picturereading.h"

#include "base/fspath.h"
#include "convert/heifcodec.h"
#include "convert/picturetruncation.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <QBuffer>
#include <QImageReader>

namespace inkvale {
namespace {

// Qt's own limit on a decoded picture (128 MB, 32 megapixels) would refuse the photos of
// today's phones. The limit is process-wide; raised once, to about 268 megapixels, so that a
// damaged header still cannot ask for any amount.
void raiseDecodingLimit()
{
    static const bool raised = [] {
        constexpr int Megabytes = 1024;
        const int current = QImageReader::allocationLimit();
        if (current != 0 && current < Megabytes) {
            QImageReader::setAllocationLimit(Megabytes);
        }
        return true;
    }();
    Q_UNUSED(raised);
}

bool isJpeg(const QByteArray &format)
{
    return format == "jpeg" || format == "jpg";
}

} // namespace

Result<QByteArray> readPictureFile(const QString &path)
{
    // Through the platform's path, not QFile: a name that is not valid UTF-8 must still open.
    namespace fs = std::filesystem;
    const fs::path file = toFsPath(path);
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        return Result<QByteArray>::failure(QStringLiteral("Not a regular file"));
    }
    const QString tooLarge =
        QStringLiteral("The file is larger than any picture Inkvale reads (%1 GB)")
            .arg(kLargestPictureFile >> 30);
    // Nothing Inkvale can decode is that large (see raiseDecodingLimit): such a file is not
    // read into memory at all.
    const auto size = fs::file_size(file, ec);
    if (!ec && size > kLargestPictureFile) {
        return Result<QByteArray>::failure(tooLarge);
    }
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        return Result<QByteArray>::failure(QString::fromLocal8Bit(std::strerror(errno)));
    }
    QByteArray bytes;
    if (!ec) {
        bytes.reserve(qsizetype(size));
    }
    // To the end, even past the size first seen (a file still being written), but never
    // beyond the limit.
    char chunk[1 << 16];
    while (stream.read(chunk, sizeof chunk) || stream.gcount() > 0) {
        bytes.append(chunk, qsizetype(stream.gcount()));
        if (quint64(bytes.size()) > kLargestPictureFile) {
            return Result<QByteArray>::failure(tooLarge);
        }
    }
    if (stream.bad()) {
        return Result<QByteArray>::failure(QStringLiteral("Unable to read the file"));
    }
    return bytes;
}

Result<DecodedPicture> readWholePicture(const QByteArray &data, const QByteArray &format)
{
    if (format == "heif" || format == "avif") {
        return HeifCodec::decode(data);
    }
    raiseDecodingLimit();
    DecodedPicture reading;
    QByteArray bytes = data; // shared, not copied: the buffer only reads
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    // An empty format with detection off makes the reader report the format as unsupported.
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    // Phones store portrait photos lying down and say so in the tag; the other formats'
    // tags are left alone, as the tool leaves them.
    reader.setAutoTransform(isJpeg(format));
    if (format == "gif" || format == "tif" || format == "tiff" || format == "webp") {
        reading.severalFrames = reader.imageCount() > 1;
    }
    if (!reader.read(&reading.image)) {
        return Result<DecodedPicture>::failure(reader.errorString());
    }
    // Some of Qt's decoders fill a missing end with blank pixels instead of failing.
    if (pictureDataEndsEarly(format, data)) {
        return Result<DecodedPicture>::failure(
            QStringLiteral("Unable to read image data: the file is truncated"));
    }
    reading.turned =
        isJpeg(format) && reader.transformation() != QImageIOHandler::TransformationNone;
    return reading;
}

} // namespace inkvale
