#include "online/checkerrors.h"

#include "online/trimblanks.h"

namespace inkvale {

void CheckErrors::add(const QString &message)
{
    // Only the emptiness test trims; the entry is kept as given.
    if (trimBlanks(message).isEmpty()) {
        return;
    }
    m_flag = true;
    m_log = m_log.isEmpty() ? message : m_log + QStringLiteral("\r\r") + message;
}

void CheckErrors::clear()
{
    m_flag = false;
    m_log.clear();
}

} // namespace inkvale
