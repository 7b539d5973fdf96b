#include "convert/picturereading.h"

#include "base/fspath.h"
#include "convert/heifcodec.h"
#include "convert/pictureclaim.h"
#include "convert/pictureformats.h"
#include "convert/picturetruncation.h"
#include "platform/regularfile.h"

#include <QFile>
#include <QImageReader>
#include <system_error>

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

// The logical screen of a GIF, from its first ten bytes.
QSize gifScreenSize(const QByteArray &start)
{
    if (start.size() < 10) {
        return {};
    }
    const auto le16 = [&start](int at) {
        return static_cast<uchar>(start.at(at)) | (static_cast<uchar>(start.at(at + 1)) << 8);
    };
    return {le16(6), le16(8)};
}

bool isJpeg(const QByteArray &format)
{
    return format == "jpeg" || format == "jpg";
}

// Read by libheif, not by Qt.
bool isHeif(const QByteArray &format)
{
    return format == "heif" || format == "avif";
}

} // namespace

Result<> openPictureFile(const QString &path, QFile &file)
{
    int fd = -1;
    try {
        fd = platform::openRegularFile(toFsPath(path));
    } catch (const std::system_error &error) {
        return Result<>::failure(error.code() == std::errc::invalid_argument
                                     ? QStringLiteral("Not a regular file")
                                     : QString::fromLocal8Bit(error.code().message().c_str()));
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        return Result<>::failure(file.errorString());
    }
    // Nothing Inkvale can decode is that large (see raiseDecodingLimit).
    if (quint64(file.size()) > kLargestPictureFile) {
        file.close();
        return Result<>::failure(
            QStringLiteral("The file is larger than any picture Inkvale reads (%1 GB)")
                .arg(kLargestPictureFile >> 30));
    }
    return Result<>::success();
}

Result<const PictureFormat *> openPicture(const QString &path, QFile &file)
{
    if (const Result<> opened = openPictureFile(path, file); !opened.ok()) {
        return Result<const PictureFormat *>::failure(opened.error());
    }
    const PictureFormat *format = formatOfContent(pictureStart(file));
    if (format == nullptr) {
        file.close();
        return Result<const PictureFormat *>::failure(
            QStringLiteral("Not a picture: the file holds no %1 data")
                .arg(recognisedFormatNames()));
    }
    return format;
}

Result<QSize> readClaimedSize(QIODevice &device, const QByteArray &format)
{
    raiseDecodingLimit();
    const qint64 start = device.pos();
    if (isHeif(format)) {
        const Result<QSize> size = HeifCodec::sizeOf(device);
        device.seek(start);
        return size;
    }
    QSize size;
    QString error;
    {
        QImageReader reader(&device, format);
        reader.setAutoDetectImageFormat(false);
        reader.setDecideFormatFromContent(false);
        size = reader.size();
        if (format == "gif") {
            // Qt tells the first frame's size but decodes the whole screen, as the tool does.
            size = size.expandedTo(gifScreenSize(device.peek(10)));
        }
        error = reader.error() == QImageReader::UnknownError
                    ? QStringLiteral("Unable to read image data")
                    : reader.errorString();
    }
    device.seek(start);
    if (!size.isValid()) {
        return Result<QSize>::failure(error);
    }
    return size;
}

Result<QSize> readPictureHeader(QIODevice &device, const QByteArray &format)
{
    const Result<QSize> claimed = readClaimedSize(device, format);
    if (!claimed.ok()) {
        return claimed;
    }
    const qint64 start = device.pos();
    const QString claim = pictureClaimBeyondData(format, device, claimed.value());
    device.seek(start);
    if (!claim.isEmpty()) {
        return Result<QSize>::failure(claim);
    }
    return claimed;
}

Result<DecodedPicture> readWholePicture(QIODevice &device, const QByteArray &format)
{
    // A header that claims far more than the data holds would have the decoder fill in a
    // huge picture from nothing.
    if (const Result<QSize> header = readPictureHeader(device, format); !header.ok()) {
        return Result<DecodedPicture>::failure(header.error());
    }
    const qint64 start = device.pos();
    if (isHeif(format)) {
        const Result<DecodedPicture> decoded = HeifCodec::decode(device);
        device.seek(start);
        return decoded;
    }
    DecodedPicture reading;
    QImageReader reader(&device, format);
    // An empty format with detection off makes the reader report the format as unsupported.
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    // Phones store portrait photos lying down and say so in the tag; the other formats'
    // tags are left alone, as the tool leaves them.
    reader.setAutoTransform(isJpeg(format));
    if (format == "gif" || format == "tif" || format == "tiff" || format == "webp") {
        reading.severalFrames = reader.imageCount() > 1;
        device.seek(start);
    }
    if (!reader.read(&reading.image)) {
        // A decoder that stops at cut-off data from a file may leave the reader without
        // words of its own.
        return Result<DecodedPicture>::failure(reader.error() == QImageReader::UnknownError
                                                   ? QStringLiteral("Unable to read image data")
                                                   : reader.errorString());
    }
    // Some of Qt's decoders fill a missing end with blank pixels instead of failing.
    device.seek(start);
    if (pictureDataEndsEarly(format, device)) {
        return Result<DecodedPicture>::failure(
            QStringLiteral("Unable to read image data: the file is truncated"));
    }
    reading.turned =
        isJpeg(format) && reader.transformation() != QImageIOHandler::TransformationNone;
    return reading;
}

QByteArray pictureStart(QIODevice &device)
{
    // A HEIF container's brands may come late in its first box.
    return device.peek(4096);
}

} // namespace inkvale
