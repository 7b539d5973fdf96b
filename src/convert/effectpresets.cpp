#include "convert/effectpresets.h"

namespace inkvale {

// The memory per pixel is the peak resident size of Debian's G'MIC 2.9.4 on 800x600 and
// 1600x1200 pictures, the slope between the two (about 80 MB is the tool itself). Comicbook
// and Lineart were measured with our recipes, which stand in for them on that G'MIC; Lineart
// is rounded up from 21.5, as its recipe keeps a few MB more than the tool's fixed part.
const QList<EffectPreset> &effectPresets()
{
    static const QList<EffectPreset> presets{
        {QStringLiteral("Cartoon"),
         QStringLiteral("cartoon"),
         QStringLiteral(R"(2.208,181.53,28.177,0.248,2.6505,128,"0",nan,nan)"),
         {},
         72,
         QStringLiteral("_inkvale_cartoon")},
        {QStringLiteral("Comicbook"), QStringLiteral("cl_comic"),
         QStringLiteral(R"(0,2,0,1,1,15,15,1,10,20,6,2,0,0,0,0,0,"0",nan,nan)"),
         QStringLiteral("inkvale_comicbook"), 48},
        {QStringLiteral("Cutout"),
         QStringLiteral("fx_cutout"),
         QStringLiteral(R"(4,0.5,4,1,"0",nan,nan)"),
         {},
         52,
         QStringLiteral("_inkvale_cutout")},
        {QStringLiteral("Lineart"), QStringLiteral("cl_lineart"),
         QStringLiteral(R"(0,0,2,1,15,15,1,0,6,2,2,0,0,"0",nan,nan)"),
         QStringLiteral("inkvale_lineart"), 22},
        {QStringLiteral("Pen Drawing"),
         QStringLiteral("fx_pen_drawing"),
         QStringLiteral(R"(10,"0",nan,nan)"),
         {},
         48,
         QStringLiteral("_inkvale_pen_drawing")},
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
