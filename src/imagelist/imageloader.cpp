#include "imagelist/imageloader.h"

#include "convert/picturereading.h"

#include <QFileInfo>

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

} // namespace

LoadResult loadPicture(const QString &path)
{
    LoadResult result;
    result.path = path;

    // Read once: the decoder and the truncation test both need the bytes.
    const PictureFile file = readPictureFile(path);
    if (!file.error.isEmpty()) {
        result.error = file.error;
        return result;
    }
    const PictureReading reading = readWholePicture(file.bytes, decoderFor(path));
    if (!reading.whole()) {
        result.error = reading.error;
        return result;
    }
    result.ok = true;
    result.size = reading.image.size();
    return result;
}

} // namespace inkvale
