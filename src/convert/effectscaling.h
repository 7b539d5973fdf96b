#pragma once

#include <QSize>

namespace inkvale {

// The presets are pixel values for a picture of this diagonal (800x600 at 4:3): the size at
// which they show the look their names promise, and the base of Inkvale's own recipes. A
// larger picture runs its effect scaled by its diagonal over this one.
inline constexpr double kReferenceDiagonal = 1000.0;

// How much larger than the reference `picture` is: its diagonal over kReferenceDiagonal,
// never below 1 (a smaller picture is seen at 1:1 and keeps the preset's pixel values).
double effectScaleFactor(const QSize &picture);

} // namespace inkvale
