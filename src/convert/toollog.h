#pragma once

#include <QString>

namespace inkvale {

// Where a conversion leaves its trace: the window's hidden text box, a file, a string.
class ToolLog
{
public:
    virtual ~ToolLog() = default;
    virtual void clear() = 0;
    virtual void addLine(const QString &line) = 0;
    // Appends text as it came, without a line break.
    virtual void appendText(const QString &text) = 0;
};

} // namespace inkvale
