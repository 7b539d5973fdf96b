#include "cli/filetoollog.h"

#include "convert/conversionerror.h"

#include <QDir>

namespace inkvale {

FileToolLog::FileToolLog(const QString &fileName)
    : m_file(fileName)
{
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        throw ConversionError(QStringLiteral("Unable to open the log file %1\r\r%2")
                                  .arg(QDir::toNativeSeparators(fileName), m_file.errorString()));
    }
    m_stream.setDevice(&m_file);
}

void FileToolLog::clear()
{
    if (!m_atLineStart) {
        m_stream << '\n';
        m_atLineStart = true;
    }
    m_stream.flush();
}

void FileToolLog::addLine(const QString &line)
{
    if (!m_atLineStart) {
        m_stream << '\n';
    }
    m_stream << line << '\n';
    m_atLineStart = true;
    m_stream.flush();
}

void FileToolLog::appendText(const QString &text)
{
    if (text.isEmpty()) {
        return;
    }
    m_stream << text;
    m_atLineStart = text.endsWith(QLatin1Char('\n'));
}

} // namespace inkvale
