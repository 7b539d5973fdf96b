#pragma once

#include "base/result.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QtGlobal>

class QFile;
class QIODevice;

namespace inkvale {

struct PictureFormat;

// A picture read whole.
struct DecodedPicture
{
    // The first frame (page), upright as viewers show it.
    QImage image;
    // A JPEG whose orientation tag is other than 1: `image` is turned upright.
    bool turned = false;
    // An animation or a document of several pages: `image` is its first.
    bool severalFrames = false;
};

// The size of the largest file openPictureFile() opens.
inline constexpr quint64 kLargestPictureFile = quint64(1) << 30;

// Opens the file at `path` into `file` for reading: anything but a regular file (after
// following links) fails at once, as it is opened, since reading a pipe or device would wait
// for a writer for ever, and so does a file larger than kLargestPictureFile. Nothing is read
// yet; names that are not valid UTF-8 open too (see base/fspath.h).
Result<> openPictureFile(const QString &path, QFile &file);

// openPictureFile(), then the format the content begins with (see formatOfContent()), never
// null: `file` is left open at its start. Fails with openPictureFile()'s words, or "Not a
// picture: ..." when the content is no format Inkvale knows; `file` is then closed.
Result<const PictureFormat *> openPicture(const QString &path, QFile &file);

// The size that the picture's header claims, read without decoding the picture, whatever the
// data holds; fails with the decoder's words. `device` is open at the picture's start and
// left there.
Result<QSize> readClaimedSize(QIODevice &device, const QByteArray &format);

// readClaimedSize(), which also fails when the header claims more pixels than the data could
// hold (see pictureClaimBeyondData()).
Result<QSize> readPictureHeader(QIODevice &device, const QByteArray &format);

// Reads the whole picture from `device` (open, at its start, able to seek) with the decoder
// for `format` (never guessing another), incrementally: memory is bounded by the picture, not
// by the file. Damaged or cut-off data fails with the decoder's words, and so does a header
// that claims more pixels than the data can hold. A JPEG is turned upright by its orientation
// tag, a HEIF picture ("heif", "avif": read by libheif) as its container says; other formats
// stay as stored. Safe on any thread. The first call raises Qt's
// process-wide limit on a decoded picture to 1 GB where it is lower, so that photos of many
// megapixels load.
Result<DecodedPicture> readWholePicture(QIODevice &device, const QByteArray &format);

// The first bytes of `device`, enough for formatOfContent(), looked at without reading them.
QByteArray pictureStart(QIODevice &device);

} // namespace inkvale
