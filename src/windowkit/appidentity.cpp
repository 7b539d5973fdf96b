#include "windowkit/appidentity.h"

#include "base/versioninfo.h"

namespace inkvale {

AppIdentity readAppIdentity(const QString &executable)
{
    const VersionData version = readVersionData(executable);
    AppIdentity identity;
    identity.appCompany = version.CompanyName;
    identity.appProduct = version.ProductName;
    identity.appVersion = formatAppVersion(readVersionNumber(executable));
    identity.appTitle = identity.appCompany + QStringLiteral(" - ") + identity.appProduct;
    return identity;
}

namespace {

AppIdentity &storedIdentity()
{
    static AppIdentity identity;
    return identity;
}

} // namespace

const AppIdentity &appIdentity()
{
    return storedIdentity();
}

void setAppIdentity(const AppIdentity &identity)
{
    storedIdentity() = identity;
}

} // namespace inkvale
