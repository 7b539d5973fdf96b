#pragma once

#include "convert/effectavailability.h"

class QComboBox;

namespace inkvale {

// Marks the effects that the installed tool cannot run in the effect selector: a warning
// icon and a tooltip with the tool's reason. An effect that runs Inkvale's own recipe gets no
// icon, only a tooltip that says so. Item texts stay as they are and every item stays
// selectable; the selector's own tooltip follows its current item.
void markEffectAvailability(QComboBox &selector, const EffectAvailability &availability);

// The tooltip of an effect the tool cannot run.
QString unavailableEffectText(const QString &effect, const EffectAvailability &availability);

// The tooltip of an effect that runs Inkvale's own recipe.
QString recipeEffectText(const QString &effect, const EffectAvailability &availability);

} // namespace inkvale
