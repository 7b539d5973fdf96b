#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>

// Pictures that Qt cannot write itself: photos with an orientation tag, several frames.
namespace inkvale::test {

// `upright`, stored as a camera stores it for the EXIF orientation `orientation` (1, 3, 6 or
// 8; 0 writes no tag): a viewer that applies the tag shows `upright`.
QByteArray jpegWithOrientation(const QImage &upright, int orientation, int quality = 95);

// A picture of `size` in `colour` with a red square in its top left corner, a quarter of the
// shorter side wide: shows which way up a picture ended.
QImage markedPicture(QSize size, QColor colour = QColor(40, 90, 200));

// Whether `image` shows the red mark of markedPicture() top left and nowhere else in a
// corner (with room for lossy compression).
bool markIsTopLeft(const QImage &image);

// A TIFF of two pages, uncompressed RGB: the first of `first` in red, the second of `second`
// in blue.
QByteArray twoPageTiff(QSize first, QSize second);

// An animated GIF of two checkered frames of `size`.
QByteArray twoFrameGif(QSize size);

// A small grey JPEG whose frame header claims `claimed`, as a damaged or made-up file says.
QByteArray jpegClaiming(QSize claimed);

} // namespace inkvale::test
