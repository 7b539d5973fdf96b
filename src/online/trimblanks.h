#pragma once

#include <QString>

namespace inkvale {

// `text` without leading and trailing characters at or below the space: blanks, line breaks
// and other control characters. Inner ones stay.
QString trimBlanks(const QString &text);

} // namespace inkvale
