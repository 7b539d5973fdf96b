#pragma once

#include "convert/photometadata.h"
#include "convert/picturereading.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class QIODevice;

namespace inkvale {

// HEIC and AVIF pictures (HEIF containers) through libheif: the photos of today's phones in,
// AVIF results out. Safe on any thread.
class HeifCodec
{
public:
    // Whether this build reads and writes HEIF containers at all; without it every other
    // function fails or finds nothing.
    static bool available();

    // "heif" for a HEIF container with an HEVC picture (HEIC), "avif" for an AV1 one, judged
    // by the container's first box; empty for anything else.
    static QByteArray formatOf(const QByteArray &data);

    // The functions below read the container from `device` (open at its start, able to seek;
    // left anywhere) as they need it, never the whole file at once.

    // Decodes the primary picture in full, turned and cropped as the file says, 8 bits per
    // channel.
    static Result<DecodedPicture> decode(QIODevice &device);
    // The size of the primary picture as it shows, from the container alone.
    static Result<QSize> sizeOf(QIODevice &device);
    // The EXIF, XMP and colour profile of the primary picture, without decoding it.
    static PhotoMetadata metadataOf(QIODevice &device);

    // Writes `image` as an AVIF file at `path` with `quality` (1 to 100) and the records of
    // `metadata` (EXIF, XMP, colour profile). Returns the reason it could not, else an empty
    // string.
    static QString writeAvif(const QImage &image, const QString &path, int quality,
                             const PhotoMetadata &metadata);
};

} // namespace inkvale
