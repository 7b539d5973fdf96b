#include "cli/filetoollog.h"

#include "base/fspath.h"
#include "convert/conversionerror.h"

#include <QDir>
#include <system_error>

namespace inkvale {
namespace {

QString reasonOf(const std::system_error &error)
{
    if (error.code() == std::errc::no_such_device_or_address) {
        return QStringLiteral("It is a named pipe that no program reads from");
    }
    return QString::fromLocal8Bit(error.code().message().c_str());
}

} // namespace

FileToolLog::FileToolLog(const QString &fileName)
    : m_fileName(fileName)
{
    try {
        m_file = std::make_unique<platform::LogFile>(toFsPath(fileName));
    } catch (const std::system_error &error) {
        throw ConversionError(QStringLiteral("Unable to open the log file %1\r\r%2")
                                  .arg(QDir::toNativeSeparators(fileName), reasonOf(error)));
    }
}

FileToolLog::~FileToolLog() = default;

void FileToolLog::write(const QString &text)
{
    if (!m_error.isEmpty() || text.isEmpty()) {
        return;
    }
    try {
        const QByteArray bytes = text.toUtf8();
        m_file->write({bytes.constData(), static_cast<std::size_t>(bytes.size())});
    } catch (const std::system_error &error) {
        m_error = QStringLiteral("Unable to write the log file %1\r\r%2")
                      .arg(QDir::toNativeSeparators(m_fileName),
                           error.code() == std::errc::interrupted
                               ? QStringLiteral("Interrupted while no program read from it")
                               : reasonOf(error));
    }
}

void FileToolLog::clear()
{
    if (!m_atLineStart) {
        write(QStringLiteral("\n"));
        m_atLineStart = true;
    }
}

void FileToolLog::addLine(const QString &line)
{
    write((m_atLineStart ? QString() : QStringLiteral("\n")) + line + QLatin1Char('\n'));
    m_atLineStart = true;
}

void FileToolLog::appendText(const QString &text)
{
    if (text.isEmpty()) {
        return;
    }
    write(text);
    m_atLineStart = text.endsWith(QLatin1Char('\n'));
}

} // namespace inkvale
