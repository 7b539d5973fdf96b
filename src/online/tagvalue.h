#pragma once

#include <QString>

namespace inkvale {

// The value of the element `name` in an answer line: the line must begin with "<name>" and end
// with "</name>" (name lower-cased, tags compared case-sensitively); the line is neither
// trimmed nor lower-cased. Empty otherwise, and when line or name is empty.
QString readTagValue(const QString &line, const QString &name);

} // namespace inkvale
