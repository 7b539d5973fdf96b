#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

class QIODevice;

namespace inkvale {

// Why a picture whose header claims `size` cannot be that large: a file's data holds at most
// so many pixels per byte, however well it compresses, and a header that claims more is
// damaged or made to have the decoder fill in a huge picture from nothing. The bound is each
// format's densest coding (deflate's 1032:1 for PNG, 12-bit LZW codes for GIF, a bit per
// 8x8 block for JPEG, 255-pixel runs for BMP); TIFF, whose codings have no such bound, and
// arithmetic-coded JPEG pass. Empty when the claim can hold. `device` is open at the
// picture's start; it is read only a little, and left anywhere.
QString pictureClaimBeyondData(const QByteArray &format, QIODevice &device, const QSize &size);

} // namespace inkvale
