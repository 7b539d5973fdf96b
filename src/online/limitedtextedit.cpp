#include "online/limitedtextedit.h"

#include <QSignalBlocker>
#include <QTextCursor>

namespace inkvale {

LimitedTextEdit::LimitedTextEdit(int maxLength, QWidget *parent)
    : QPlainTextEdit(parent)
    , m_maxLength(maxLength)
{
    connect(this, &QPlainTextEdit::textChanged, this, &LimitedTextEdit::enforceLimit);
}

void LimitedTextEdit::enforceLimit()
{
    // The document counts one separator after its last paragraph.
    const int excess = document()->characterCount() - 1 - m_maxLength;
    if (excess <= 0) {
        return;
    }
    // The insertion just happened before the cursor: take back its tail.
    QTextCursor cursor = textCursor();
    const int end = cursor.position();
    cursor.setPosition(qMax(0, end - excess), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    setTextCursor(cursor);
}

} // namespace inkvale
