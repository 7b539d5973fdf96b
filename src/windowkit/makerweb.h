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

// Whether `address` is a web page on `host` ("name" or "name:port"): an absolute http or https
// address without user information whose host and port are those of `host` (the scheme's
// default port when `host` names none). Anything else (another host, file:, a relative
// address) is not to be opened on the word of an answer that may have come over plain http.
bool isMakerAddress(const QString &address, const QString &host = makerWebHost());

} // namespace inkvale
