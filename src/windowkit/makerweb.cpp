#include "windowkit/makerweb.h"

namespace inkvale {

QString makerWebHost()
{
    return QStringLiteral(INKVALE_WEB_HOST);
}

QString onlineHelpAddress(const QString &product, const QString &host)
{
    QString page = product.toLower();
    page.replace(QLatin1Char(' '), QLatin1Char('-'));
    return QStringLiteral("http://") + host + QStringLiteral("/help/") + page + QLatin1Char('/');
}

QString makerHomeAddress(const QString &host)
{
    return QStringLiteral("http://") + host + QLatin1Char('/');
}

} // namespace inkvale
