#pragma once

#include "convert/toollog.h"

class QPlainTextEdit;

namespace inkvale {

// The conversion log written into the window's hidden text box `commandLog`.
class MemoToolLog : public ToolLog
{
public:
    explicit MemoToolLog(QPlainTextEdit &memo);
    void clear() override;
    void addLine(const QString &line) override;
    void appendText(const QString &text) override;

private:
    QPlainTextEdit &m_memo;
};

} // namespace inkvale
