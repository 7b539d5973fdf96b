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
};

} // namespace inkvale

Q_DECLARE_TYPEINFO(inkvale::ImageRow, Q_RELOCATABLE_TYPE);
