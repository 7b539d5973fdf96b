#pragma once

#include <QString>
#include <QTypeInfo>

namespace inkvale {

// One row of the image list: a picture file and its size, taken once when it was added.
struct ImageRow
{
    // Exactly as received: never normalised, letter case kept.
    QString path;
    int width = 0;
    int height = 0;
    // Where below the destination its result goes ("2024/June"), for a picture found in a
    // sub-folder of an added folder; empty for the destination itself.
    QString subfolder = {};
};

} // namespace inkvale

Q_DECLARE_TYPEINFO(inkvale::ImageRow, Q_RELOCATABLE_TYPE);
