#include "app/memotoollog.h"

#include <QPlainTextEdit>

namespace inkvale {

MemoToolLog::MemoToolLog(QPlainTextEdit &memo)
    : m_memo(memo)
{}

void MemoToolLog::clear()
{
    m_memo.clear();
}

void MemoToolLog::addLine(const QString &line)
{
    m_memo.appendPlainText(line);
}

void MemoToolLog::appendText(const QString &text)
{
    m_memo.moveCursor(QTextCursor::End);
    m_memo.insertPlainText(text);
}

} // namespace inkvale
