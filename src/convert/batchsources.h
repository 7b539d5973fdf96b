#pragma once

#include "convert/conversionoptions.h"
#include "convert/outputoptions.h"

#include <QString>

namespace inkvale {

// What a batch reads: its pictures and the user's choices. The batch queries every value
// afresh as each image starts, so a host whose controls change during the batch takes effect
// from the next image on. What the batch reports leaves by BatchController's signals.
class BatchSources
{
public:
    virtual ~BatchSources() = default;

    virtual int rowCount() const = 0;
    virtual QString rowPath(int row) const = 0;
    // The folder below the destination that the row's result goes to ("2024/June"); empty
    // for the destination itself.
    virtual QString rowSubfolder(int /*row*/) const { return {}; }
    virtual QString destination() const = 0;
    // "PNG", "JPG" or "BMP"; its lower-case form is the output's extension.
    virtual QString format() const = 0;
    virtual QString effect() const = 0;
    // The quality of a lossy result, whether the location is kept, the name pattern.
    virtual OutputOptions outputOptions() const { return {}; }
    // How the effect follows the picture's size and the output's largest side.
    virtual ConversionOptions conversionOptions() const { return {}; }
};

} // namespace inkvale
