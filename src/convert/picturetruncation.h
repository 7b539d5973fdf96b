#pragma once

#include <QByteArray>

class QIODevice;

namespace inkvale {

// Whether a picture's data stops before the picture's end. Only for the formats whose Qt
// decoder may accept such data silently (JPEG, BMP, GIF, PNG); false for any other format and
// for data too damaged to tell, which the decoder judges itself. Reads `data` (a device that
// can seek) in small pieces, skipping what it can: memory stays small for any file.
bool pictureDataEndsEarly(const QByteArray &format, QIODevice &data);

} // namespace inkvale
