#pragma once

#include <QString>
#include <stdexcept>

namespace inkvale {

// The settings file could not be read, written or removed; what() is the message in UTF-8
// for the general error handler.
class SettingsError : public std::runtime_error
{
public:
    explicit SettingsError(const QString &message)
        : std::runtime_error(message.toStdString())
    {}
    QString message() const { return QString::fromUtf8(what()); }
};

} // namespace inkvale
