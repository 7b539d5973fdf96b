#include "online/tagvalue.h"

namespace inkvale {

QString readTagValue(const QString &line, const QString &name)
{
    if (line.isEmpty() || name.isEmpty()) {
        return {};
    }
    const QString opening = QLatin1Char('<') + name.toLower() + QLatin1Char('>');
    const QString closing = QStringLiteral("</") + name.toLower() + QLatin1Char('>');
    // Both tags must fit side by side: "<a>" alone is no element.
    if (line.size() < opening.size() + closing.size() || !line.startsWith(opening) ||
        !line.endsWith(closing)) {
        return {};
    }
    return line.mid(opening.size(), line.size() - opening.size() - closing.size());
}

} // namespace inkvale
