#pragma once

#include <QSize>
#include <QString>

namespace inkvale {

struct EffectPreset;

// The presets are pixel values for a picture of this diagonal (800x600 at 4:3): the size at
// which they show the look their names promise, and the base of Inkvale's own recipes. A
// larger picture has its spatial parameters scaled by its diagonal over this one.
inline constexpr double kReferenceDiagonal = 1000.0;

// How much larger than the reference `picture` is: its diagonal over kReferenceDiagonal,
// never below 1 (a smaller picture is seen at 1:1 and keeps the preset's pixel values).
double effectScaleFactor(const QSize &picture);

// The preset's parameter string with its spatial parameters (radii, line thickness, window
// sizes) multiplied by `factor` and its gradient threshold divided by it; colour parameters
// stay. Exactly the preset's string at factor 1, and for a command whose parameters Inkvale
// does not know.
QString scaledParameters(const EffectPreset &preset, double factor);

} // namespace inkvale
