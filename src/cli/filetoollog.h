#pragma once

#include "convert/toollog.h"

#include <QFile>
#include <QTextStream>

namespace inkvale {

// A log file that keeps the record of every conversion: clearing starts a new record
// instead of erasing the previous ones.
class FileToolLog : public ToolLog
{
public:
    // Throws ConversionError when the file cannot be opened for writing.
    explicit FileToolLog(const QString &fileName);

    void clear() override;
    void addLine(const QString &line) override;
    void appendText(const QString &text) override;

private:
    QFile m_file;
    QTextStream m_stream;
    bool m_atLineStart = true;
};

} // namespace inkvale
