#include "imagelist/imageloader.h"

#include "imagelist/picturetruncation.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

namespace inkvale {

namespace {

// The decoders a picture may be read with (the metafile formats wmf and emf have none here).
// Qt knows more, such as svg and webp, but those pictures are not meant for the list.
QByteArray decoderFor(const QString &path)
{
    static const QList<QByteArray> decoders{"bmp", "ico", "tif",  "tiff",
                                            "png", "jpg", "jpeg", "gif"};
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toUtf8();
    // An empty format with detection off makes the reader report the format as unsupported.
    return decoders.contains(suffix) ? suffix : QByteArray();
}

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

    raiseDecodingLimit();
    const QByteArray format = decoderFor(path);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    reader.setAutoTransform(false);
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
