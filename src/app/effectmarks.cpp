#include "app/effectmarks.h"

#include "windowkit/artwork.h"

#include <QComboBox>

namespace inkvale {

QString unavailableEffectText(const QString &effect, const EffectAvailability &availability)
{
    const QString reason = availability.reason(effect);
    if (availability.toolVersion.isEmpty()) {
        // No tool answered at all: the reason says where it was looked for.
        return QStringLiteral("\"%1\" cannot be used: %2").arg(effect, reason);
    }
    return QStringLiteral("\"%1\" does not work with the installed G'MIC %2: converting with it "
                          "produces no picture.\n%3\n"
                          "A newer G'MIC placed as gmic/gmic beside the program may have it.")
        .arg(effect, availability.toolVersion, reason);
}

QString recipeEffectText(const QString &effect, const EffectAvailability &availability)
{
    return QStringLiteral("\"%1\": %2.").arg(effect, availability.recipeNote(effect));
}

void markEffectAvailability(QComboBox &selector, const EffectAvailability &availability)
{
    const QIcon mark = artworkIcon(QStringLiteral("effect-unavailable"));
    for (int i = 0; i < selector.count(); ++i) {
        const QString effect = selector.itemText(i);
        const bool available = availability.isAvailable(effect);
        selector.setItemIcon(i, available ? QIcon() : mark);
        QVariant tip;
        if (!available) {
            tip = unavailableEffectText(effect, availability);
        } else if (availability.usesRecipe(effect)) {
            tip = recipeEffectText(effect, availability);
        }
        selector.setItemData(i, tip, Qt::ToolTipRole);
    }
    const auto followCurrent = [&selector] {
        selector.setToolTip(selector.currentData(Qt::ToolTipRole).toString());
    };
    followCurrent();
    QObject::connect(&selector, &QComboBox::currentIndexChanged, &selector, followCurrent);
}

} // namespace inkvale
