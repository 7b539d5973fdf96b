#pragma once

#include <QString>

namespace inkvale {

// The general error handler's text: the message with a full stop appended, unless its last
// character already sorts at or before ".".
QString generalErrorText(const QString &message);

} // namespace inkvale
