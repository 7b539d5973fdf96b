#include "windowkit/appidentity.h"

namespace inkvale {
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
