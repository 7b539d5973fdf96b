#include "convert/effectscaling.h"

#include "convert/effectpresets.h"

#include <cmath>
#include <QStringList>

namespace inkvale {
namespace {

enum class Rule {
    // A length in pixels: a radius, a thickness, a smoothing amplitude.
    Length,
    // A change of intensity per pixel: a gradient threshold.
    PerLength,
};

struct ScaledParameter
{
    int index;
    Rule rule;
};

// The spatial parameters of the tool's own commands, by position in the parameter string.
// cl_comic and cl_lineart are left as they are: where the tool lacks them, Inkvale's recipes
// scale themselves by the same reference. fx_cutout and fx_pen_drawing fix lengths of their
// own; a larger picture runs them by Inkvale's scaled recipes instead.
QList<ScaledParameter> scaledParametersOf(const QString &commandWord)
{
    if (commandWord == QLatin1String("cartoon")) {
        // smoothness, edge threshold, line thickness
        return {{0, Rule::Length}, {2, Rule::PerLength}, {3, Rule::Length}};
    }
    return {};
}

double scaled(double value, Rule rule, double factor)
{
    switch (rule) {
    case Rule::Length:
        return value * factor;
    case Rule::PerLength:
        return value / factor;
    }
    return value;
}

} // namespace

double effectScaleFactor(const QSize &picture)
{
    const double diagonal = std::hypot(double(picture.width()), double(picture.height()));
    return std::max(1.0, diagonal / kReferenceDiagonal);
}

QString scaledParameters(const EffectPreset &preset, double factor)
{
    const QList<ScaledParameter> rules = scaledParametersOf(preset.commandWord);
    if (factor == 1.0 || rules.isEmpty()) {
        return preset.parameters;
    }
    QStringList values = preset.parameters.split(QLatin1Char(','));
    for (const ScaledParameter &parameter : rules) {
        bool number = false;
        const double value = values.value(parameter.index).toDouble(&number);
        if (number) {
            values[parameter.index] =
                QString::number(scaled(value, parameter.rule, factor), 'g', 5);
        }
    }
    return values.join(QLatin1Char(','));
}

} // namespace inkvale
