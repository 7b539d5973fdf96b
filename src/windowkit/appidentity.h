#pragma once

#include <QString>

namespace inkvale {

// Who the program is, read once from the executable's version information at start-up and
// read-only afterwards: the window's caption and the name sent to the maker's service.
struct AppIdentity
{
    QString appCompany;
    QString appProduct;
    // appCompany + " - " + appProduct.
    QString appTitle;
    // The file version as major.minor.
    QString appVersion;
};

// The identity named by `executable`'s version information; throws like readVersionData().
AppIdentity readAppIdentity(const QString &executable);

// The program's identity; empty fields until the main window has read them.
const AppIdentity &appIdentity();
void setAppIdentity(const AppIdentity &identity);

} // namespace inkvale

namespace inkvale {

// The application's title: the caption of the general error box.
inline QString applicationTitle()
{
    return QStringLiteral("Inkvale");
}

} // namespace inkvale
