#pragma once

#include "convert/namepattern.h"

#include <QString>

namespace inkvale {

// The quality of lossy results when the user chose none.
inline constexpr int kDefaultQuality = 90;

// The user's say over a result beyond its format and name.
struct OutputOptions
{
    // The quality of a lossy format (JPG, WebP, AVIF), 1 to 100; 0 takes the format's own
    // (PictureFormat::quality, kDefaultQuality for each of them).
    int quality = 0;
    // Whether the photo's location (coordinates and place names) goes into the result; the
    // results are made to be shared, so by default it does not.
    bool keepLocation = false;
    // How results are named (see NamePattern).
    QString namePattern = QString::fromUtf16(NamePattern::kDefault);
};

} // namespace inkvale
