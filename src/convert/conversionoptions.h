#pragma once

#include <QSize>
#include <QString>

namespace inkvale {

// How the effects' spatial parameters follow the picture's size: "fit" scales them so that
// a picture keeps its look at viewing size whatever its pixel size; "exact" runs the presets
// as they are, pixel for pixel.
enum class EffectScale { Fit, Exact };

// "fit" or "exact".
QString effectScaleName(EffectScale scale);
// The scale a word names, case-insensitively; `fallback` for any other word.
EffectScale effectScaleNamed(const QString &name, EffectScale fallback = EffectScale::Fit);

// The user's choices that shape one conversion beyond its effect.
struct ConversionOptions
{
    EffectScale scale = EffectScale::Fit;
    // The output's largest side in pixels; a larger picture is scaled down before the tool
    // sees it, a smaller one is never enlarged. 0: the input's size.
    int largestSide = 0;
    // The picture size the effect is scaled for, when the input is a part of a larger
    // picture (a region of a preview); empty: the input's own size.
    QSize scaledFor;
};

} // namespace inkvale
