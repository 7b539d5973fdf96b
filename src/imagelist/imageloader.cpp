#include "imagelist/imageloader.h"

#include "imagelist/picturetruncation.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

namespace inkvale {

namespace {

// The decoders a picture may be read with; wmf and emf have none here. Qt knows more formats,
// but the list does not take pictures that the conversion tool is not meant to get.
QByteArray decoderFor(const QString &path)
{
    static const QList<QByteArray> decoders{"bmp", "ico", "tif",  "tiff",
                                            "png", "jpg", "jpeg", "gif"};
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toUtf8();
    // An empty format with detection off makes the reader report the format as unsupported.
    return decoders.contains(suffix) ? suffix : QByteArray();
}

// Qt's own limit (128 MB) would refuse the photos of today's phones; this takes pictures up
// to about 268 megapixels while a damaged header still cannot ask for any amount.
constexpr int AllocationLimitMegabytes = 1024;

} // namespace

LoadResult loadPicture(const QString &path)
{
    LoadResult result;
    result.path = path;

    // Opening a pipe or device would wait for a writer for ever.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        result.error = QStringLiteral("Not a regular file");
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    // Read once: the decoder and the truncation test both need the bytes.
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = file.errorString();
        return result;
    }
    file.close();

    const QByteArray format = decoderFor(path);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
    reader.setAllocationLimit(AllocationLimitMegabytes);
    QImage image;
    if (!reader.read(&image)) {
        result.error = reader.errorString();
        return result;
    }
    // Some of Qt's decoders fill a missing end with blank pixels instead of failing.
    if (pictureDataEndsEarly(format, bytes)) {
        result.error = QStringLiteral("Unable to read image data: the file is truncated");
        return result;
    }
    result.ok = true;
    result.size = image.size();
    return result;
}

} // namespace inkvale
