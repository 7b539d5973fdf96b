#pragma once

#include <QList>
#include <QString>

namespace inkvale {

// One effect: the name the effect selector shows, the tool's command word and its fixed
// parameter string (the double quotes around 0 are part of it), the command of Inkvale's
// own recipe that stands in for it on a tool without that command word (empty: none needed),
// how much memory the tool takes per pixel of the picture with it, beyond its own fixed
// part, and the recipe that runs it on a picture larger than the reference, where the tool's
// command has lengths its parameters do not reach (empty: its own recipe scales itself).
struct EffectPreset
{
    QString name;
    QString commandWord;
    QString parameters;
    QString recipeCommand;
    int toolBytesPerPixel;
    QString scaledRecipeCommand = {};

    // The parameter string as the tool receives it from a command line: its runtime strips
    // the quotes around 0.
    QString parameterArgument() const { return QString(parameters).remove(QLatin1Char('"')); }
};

// The five effects in the selector's order; "Cartoon" first and the default.
const QList<EffectPreset> &effectPresets();

// The preset of `name`, compared case-sensitively, or nullptr.
const EffectPreset *findEffectPreset(const QString &name);

} // namespace inkvale
