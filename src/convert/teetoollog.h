#pragma once

#include "convert/toollog.h"

namespace inkvale {

// Writes to two logs at once: the host's log and a private copy kept for the failure list.
class TeeToolLog : public ToolLog
{
public:
    TeeToolLog(ToolLog &first, ToolLog &second)
        : m_first(first)
        , m_second(second)
    {}
    void clear() override
    {
        m_first.clear();
        m_second.clear();
    }
    void addLine(const QString &line) override
    {
        m_first.addLine(line);
        m_second.addLine(line);
    }
    void appendText(const QString &text) override
    {
        m_first.appendText(text);
        m_second.appendText(text);
    }

private:
    ToolLog &m_first;
    ToolLog &m_second;
};

} // namespace inkvale
