#include "convert/stringtoollog.h"

namespace inkvale {

void StringToolLog::addLine(const QString &line)
{
    // Like a text box: a new line starts on a line of its own, even after raw text.
    if (!m_text.isEmpty() && !m_text.endsWith(QLatin1Char('\n'))) {
        m_text += QLatin1Char('\n');
    }
    m_text += line;
    m_text += QLatin1Char('\n');
}

} // namespace inkvale
