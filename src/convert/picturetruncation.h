#pragma once

#include <QByteArray>

namespace inkvale {

// Whether a picture's data stops before the picture's end. Only for the formats whose Qt
// decoder may accept such data silently (JPEG, BMP, GIF, PNG); false for any other format and
// for data too damaged to tell, which the decoder judges itself.
bool pictureDataEndsEarly(const QByteArray &format, const QByteArray &data);

} // namespace inkvale
