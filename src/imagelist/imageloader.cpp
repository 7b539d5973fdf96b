#include "imagelist/imageloader.h"

#include "convert/pictureformats.h"
#include "convert/picturereading.h"

namespace inkvale {

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
    // Qt reads more formats, such as svg, but only those of the table are meant for the list;
    // with no reader the picture fails as one in a format not supported.
    const PictureFormat *format = formatOfName(path);
    const PictureReading reading =
        readWholePicture(file.bytes, format != nullptr ? format->reader : QByteArray());
    if (!reading.whole()) {
        result.error = reading.error;
        return result;
    }
    result.ok = true;
    result.size = reading.image.size();
    return result;
}

} // namespace inkvale
