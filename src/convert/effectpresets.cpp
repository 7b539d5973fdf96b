#include "convert/effectpresets.h"

namespace inkvale {

const QList<EffectPreset> &effectPresets()
{
    static const QList<EffectPreset> presets{
        {QStringLiteral("Cartoon"),
         QStringLiteral("cartoon"),
         QStringLiteral(R"(2.208,181.53,28.177,0.248,2.6505,128,"0",nan,nan)"),
         {}},
        {QStringLiteral("Comicbook"), QStringLiteral("cl_comic"),
         QStringLiteral(R"(0,2,0,1,1,15,15,1,10,20,6,2,0,0,0,0,0,"0",nan,nan)"),
         QStringLiteral("inkvale_comicbook")},
        {QStringLiteral("Cutout"),
         QStringLiteral("fx_cutout"),
         QStringLiteral(R"(4,0.5,4,1,"0",nan,nan)"),
         {}},
        {QStringLiteral("Lineart"), QStringLiteral("cl_lineart"),
         QStringLiteral(R"(0,0,2,1,15,15,1,0,6,2,2,0,0,"0",nan,nan)"),
         QStringLiteral("inkvale_lineart")},
        {QStringLiteral("Pen Drawing"),
         QStringLiteral("fx_pen_drawing"),
         QStringLiteral(R"(10,"0",nan,nan)"),
         {}},
    };
    return presets;
}

const EffectPreset *findEffectPreset(const QString &name)
{
    for (const EffectPreset &preset : effectPresets()) {
        if (preset.name == name) {
            return &preset;
        }
    }
    return nullptr;
}

} // namespace inkvale
