#pragma once

#include <QString>

namespace inkvale {

// The maker's web host (a build setting), such as "www.tavrino.example".
QString makerWebHost();

// The online help page of a product: "http://<host>/help/<product in lower case, spaces as
// dashes>/".
QString onlineHelpAddress(const QString &product, const QString &host = makerWebHost());

// The maker's home page: "http://<host>/".
QString makerHomeAddress(const QString &host = makerWebHost());

} // namespace inkvale
