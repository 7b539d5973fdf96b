#include "app/errortext.h"

namespace inkvale {

QString GeneralErrorText(const QString &message)
{
    if (!message.isEmpty() && message.back() <= QLatin1Char('.')) {
        return message;
    }
    return message + QLatin1Char('.');
}

} // namespace inkvale
