#include "imagelist/imageloader.h"

#include "convert/pictureformats.h"
#include "convert/picturereading.h"

namespace inkvale {

Result<QSize> loadPicture(const QString &path)
{
    // Read once: the decoder and the truncation test both need the bytes.
    const Result<QByteArray> file = readPictureFile(path);
    if (!file.ok()) {
        return Result<QSize>::failure(file.error());
    }
    // Qt reads more formats, such as svg, but only those of the table are meant for the list;
    // with no reader the picture fails as one in a format not supported.
    const PictureFormat *format = formatOfName(path);
    const Result<DecodedPicture> reading =
        readWholePicture(file.value(), format != nullptr ? format->reader : QByteArray());
    if (!reading.ok()) {
        return Result<QSize>::failure(reading.error());
    }
    return reading.value().image.size();
}

} // namespace inkvale
