#pragma once

#include <QPlainTextEdit>

namespace inkvale {

// A plain multi-line text box that holds at most a given number of characters: what is typed
// or pasted beyond the limit is cut off at the insertion point.
class LimitedTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    LimitedTextEdit(int maxLength, QWidget *parent = nullptr);

    int maxLength() const { return m_maxLength; }

private:
    void enforceLimit();

    int m_maxLength;
};

} // namespace inkvale
