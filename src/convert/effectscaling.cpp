#include "convert/effectscaling.h"

#include <algorithm>
#include <cmath>

namespace inkvale {

double effectScaleFactor(const QSize &picture)
{
    const double diagonal = std::hypot(double(picture.width()), double(picture.height()));
    return std::max(1.0, diagonal / kReferenceDiagonal);
}

} // namespace inkvale
