#include "base/errortext.h"

namespace inkvale {

QString generalErrorText(const QString &message)
{
    if (!message.isEmpty() && message.back() <= QLatin1Char('.')) {
        return message;
    }
    return message + QLatin1Char('.');
}

} // namespace inkvale
