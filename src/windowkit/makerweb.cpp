#include "windowkit/makerweb.h"

#include <QUrl>

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

bool isMakerAddress(const QString &address, const QString &host)
{
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QStringLiteral("https") && scheme != QStringLiteral("http")) ||
        !url.userInfo().isEmpty()) {
        return false;
    }
    const QUrl maker(QStringLiteral("//") + host, QUrl::StrictMode);
    const int defaultPort = scheme == QStringLiteral("https") ? 443 : 80;
    return maker.isValid() && !maker.host().isEmpty() &&
           url.host().compare(maker.host(), Qt::CaseInsensitive) == 0 &&
           url.port(defaultPort) == maker.port(defaultPort);
}

} // namespace inkvale
