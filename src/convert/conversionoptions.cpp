#include "convert/conversionoptions.h"

namespace inkvale {

QString effectScaleName(EffectScale scale)
{
    return scale == EffectScale::Exact ? QStringLiteral("exact") : QStringLiteral("fit");
}

EffectScale effectScaleNamed(const QString &name, EffectScale fallback)
{
    if (name.compare(QLatin1String("fit"), Qt::CaseInsensitive) == 0) {
        return EffectScale::Fit;
    }
    if (name.compare(QLatin1String("exact"), Qt::CaseInsensitive) == 0) {
        return EffectScale::Exact;
    }
    return fallback;
}

} // namespace inkvale
