#include "online/checkerrors.h"

namespace inkvale {

void CheckErrors::AddCheckError(const QString &message)
{
    // Trimmed of blanks and control characters, as the emptiness test goes; kept as given.
    qsizetype first = 0;
    while (first < message.size() && message.at(first) <= QLatin1Char(' ')) {
        ++first;
    }
    if (first == message.size()) {
        return;
    }
    m_flag = true;
    m_log = m_log.isEmpty() ? message : m_log + QStringLiteral("\r\r") + message;
}

void CheckErrors::ClearCheckErrors()
{
    m_flag = false;
    m_log.clear();
}

} // namespace inkvale
