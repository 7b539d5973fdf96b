#include "online/localecode.h"

namespace inkvale {

QString localeCode(const QLocale &locale)
{
    if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage) {
        return QStringLiteral("xx");
    }
    // name() is "language_TERRITORY"; the service expects a dash between them.
    return locale.name().replace(QLatin1Char('_'), QLatin1Char('-'));
}

} // namespace inkvale
