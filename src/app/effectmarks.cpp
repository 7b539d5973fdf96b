#include "app/effectmarks.h"

#include "app/artwork.h"

#include <QComboBox>

namespace inkvale {

QString unavailableEffectText(const QString &effect, const EffectAvailability &availability)
{
    const QString tool =
        availability.toolVersion.isEmpty()
            ? QStringLiteral("The installed G'MIC")
            : QStringLiteral("The installed G'MIC %1").arg(availability.toolVersion);
    return QStringLiteral("%1 cannot apply \"%2\": converting with it produces no picture.\n"
                          "The tool says: %3\n"
                          "A newer G'MIC placed as gmic/gmic beside the program may have it.")
        .arg(tool, effect, availability.reason(effect));
}

void markEffectAvailability(QComboBox &selector, const EffectAvailability &availability)
{
    const QIcon mark = artworkIcon(QStringLiteral("effect-unavailable"));
    for (int i = 0; i < selector.count(); ++i) {
        const QString effect = selector.itemText(i);
        const bool available = availability.isAvailable(effect);
        selector.setItemIcon(i, available ? QIcon() : mark);
        selector.setItemData(
            i, available ? QVariant() : QVariant(unavailableEffectText(effect, availability)),
            Qt::ToolTipRole);
    }
    const auto followCurrent = [&selector] {
        selector.setToolTip(selector.currentData(Qt::ToolTipRole).toString());
    };
    followCurrent();
    QObject::connect(&selector, &QComboBox::currentIndexChanged, &selector, followCurrent);
}

} // namespace inkvale
