#pragma once

#include <QString>

namespace inkvale {

// The tool's words without the terminal colour codes it adds to its error messages.
QString plainToolText(const QString &text);

// What the tool itself said in a conversion's log: the text between the opening
// "Commencing processing..." and the closing lines, without colour codes, trimmed; empty
// when the tool was never started.
QString toolWordsFromLog(const QString &log);

} // namespace inkvale
