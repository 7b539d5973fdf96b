#pragma once

#include "convert/toollocation.h"

#include <exception>
#include <QDir>
#include <QString>

namespace inkvale {

// A failure that ends a command; its message goes to the general error handler.
class ConversionError : public std::exception
{
public:
    explicit ConversionError(QString message)
        : m_message(std::move(message))
        , m_utf8(m_message.toUtf8())
    {}
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// The image tool is not installed where the program looks for it. Shown in its own box
// with the caption "ERROR", not through the general error handler.
class ToolMissingError : public ConversionError
{
public:
    // "File not found!" and the tool's path, two carriage returns between them.
    explicit ToolMissingError(const ToolLocation &location)
        : ConversionError(QStringLiteral("File not found!\r\r") +
                          QDir::toNativeSeparators(location.toolFile()))
    {}
};

} // namespace inkvale
