#pragma once

#include <QString>

namespace inkvale {

// Text from outside (file names, the tool's words) as a terminal may show it: control
// characters, and bytes of a name that are not UTF-8, appear as \xHH, Unicode's direction
// overrides as \uHHHH, so that a file name cannot move the cursor, colour the terminal or
// reorder the line. Line breaks stay when `keepLineBreaks`, for texts of several lines.
QString terminalText(const QString &text, bool keepLineBreaks = false);

} // namespace inkvale
