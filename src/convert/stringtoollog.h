#pragma once

#include "convert/toollog.h"

namespace inkvale {

// A log kept in memory; lines end with "\n" as in a multi-line text box.
class StringToolLog : public ToolLog
{
public:
    void clear() override { m_text.clear(); }
    void addLine(const QString &line) override;
    void appendText(const QString &text) override { m_text += text; }
    const QString &text() const { return m_text; }

private:
    QString m_text;
};

} // namespace inkvale
