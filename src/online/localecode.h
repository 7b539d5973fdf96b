#pragma once

#include <QLocale>
#include <QString>

namespace inkvale {

// The user's locale in language-region form ("en-US", "de-DE"); "xx" for the C / POSIX
// locale, which names no language.
QString localeCode(const QLocale &locale = QLocale::system());

} // namespace inkvale
