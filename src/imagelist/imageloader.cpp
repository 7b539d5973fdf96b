#include "imagelist/imageloader.h"

#include "convert/pictureformats.h"
#include "convert/picturereading.h"

#include <QFile>
namespace inkvale {

Result<QSize> loadPicture(const QString &path)
{
    // Decoded from the file as it is read: memory goes to the picture, not the file.
    QFile file;
    if (const Result<> opened = openPictureFile(path, file); !opened.ok()) {
        return Result<QSize>::failure(opened.error());
    }
    // Qt reads more formats, such as svg, but only those of the table are meant for the list;
    // with no reader the picture fails as one in a format not supported.
    const PictureFormat *format = formatOfName(path);
    const Result<DecodedPicture> reading =
        readWholePicture(file, format != nullptr ? format->reader : QByteArray());
    if (!reading.ok()) {
        return Result<QSize>::failure(reading.error());
    }
    return reading.value().image.size();
}

} // namespace inkvale
