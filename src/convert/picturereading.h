#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QtGlobal>

namespace inkvale {

// A picture read whole from its bytes, or the decoder's words on why it cannot be.
struct PictureReading
{
    // The first frame (page), upright as viewers show it.
    QImage image;
    // The decoder's words; empty when the picture is whole.
    QString error;
    // A JPEG whose orientation tag is other than 1: `image` is turned upright.
    bool turned = false;
    // An animation or a document of several pages: `image` is its first.
    bool severalFrames = false;

    bool whole() const { return error.isEmpty(); }
};

// The bytes of a file that should hold a picture, or why they cannot be had.
struct PictureFile
{
    QByteArray bytes;
    QString error;
};

// The size of the largest file readPictureFile() reads.
inline constexpr quint64 kLargestPictureFile = quint64(1) << 30;

// Reads all of the file at `path`; anything but a regular file (after following links) fails
// at once, since opening a pipe or device would wait for a writer for ever, and so does a file
// larger than kLargestPictureFile.
PictureFile readPictureFile(const QString &path);

// Reads the whole picture in `data` with the decoder for `format` (never guessing another);
// damaged or cut-off data fails. A JPEG is turned upright by its orientation tag; other
// formats stay as stored. Safe on any thread. The first call raises Qt's process-wide limit
// on a decoded picture to 1 GB where it is lower, so that photos of many megapixels load.
PictureReading readWholePicture(const QByteArray &data, const QByteArray &format);

} // namespace inkvale
