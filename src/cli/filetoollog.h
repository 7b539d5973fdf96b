#pragma once

#include "convert/toollog.h"
#include "platform/logfile.h"

#include <memory>
#include <QString>

namespace inkvale {

// A log file that keeps the record of every conversion: clearing starts a new record
// instead of erasing the previous ones. A failed write ends the logging, and error() tells
// why; the conversions go on.
class FileToolLog : public ToolLog
{
public:
    // Throws ConversionError when the file cannot be opened for writing; a named pipe
    // without a reader fails at once instead of waiting.
    explicit FileToolLog(const QString &fileName);
    ~FileToolLog() override;

    void clear() override;
    void addLine(const QString &line) override;
    void appendText(const QString &text) override;

    // Why the log is incomplete, in a message for the user; empty while every write worked.
    QString error() const { return m_error; }

private:
    void write(const QString &text);

    QString m_fileName;
    std::unique_ptr<platform::LogFile> m_file;
    QString m_error;
    bool m_atLineStart = true;
};

} // namespace inkvale
