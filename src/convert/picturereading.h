#pragma once

#include "base/result.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QtGlobal>

namespace inkvale {

// A picture read whole from its bytes.
struct DecodedPicture
{
    // The first frame (page), upright as viewers show it.
    QImage image;
    // A JPEG whose orientation tag is other than 1: `image` is turned upright.
    bool turned = false;
    // An animation or a document of several pages: `image` is its first.
    bool severalFrames = false;
};

// The size of the largest file readPictureFile() reads.
inline constexpr quint64 kLargestPictureFile = quint64(1) << 30;

// Reads all of the file at `path`; anything but a regular file (after following links) fails
// at once, since opening a pipe or device would wait for a writer for ever, and so does a file
// larger than kLargestPictureFile.
Result<QByteArray> readPictureFile(const QString &path);

// Reads the whole picture in `data` with the decoder for `format` (never guessing another);
// damaged or cut-off data fails with the decoder's words. A JPEG is turned upright by its
// orientation tag, a HEIF picture ("heif", "avif": read by libheif) as its container says;
// other formats stay as stored. Safe on any thread. The first call raises Qt's
// process-wide limit on a decoded picture to 1 GB where it is lower, so that photos of many
// megapixels load.
Result<DecodedPicture> readWholePicture(const QByteArray &data, const QByteArray &format);

} // namespace inkvale
