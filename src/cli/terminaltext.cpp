#include "cli/terminaltext.h"

#include "base/fspath.h"

namespace inkvale {
namespace {

bool isDirectionControl(char16_t unit)
{
    return (unit >= 0x202A && unit <= 0x202E) || (unit >= 0x2066 && unit <= 0x2069);
}

QString hex(unsigned value, int digits)
{
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0'));
}

} // namespace

QString terminalText(const QString &text, bool keepLineBreaks)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t unit = c.unicode();
        if (const int byte = undecodableByte(text, i); byte >= 0) {
            shown += QStringLiteral("\\x") + hex(static_cast<unsigned>(byte), 2);
        } else if (keepLineBreaks && (unit == u'\n' || (unit == u'\r' && i + 1 < text.size() &&
                                                        text.at(i + 1) == u'\n'))) {
            shown += c;
        } else if (unit < 0x20 || unit == 0x7F || (unit >= 0x80 && unit < 0xA0)) {
            shown += QStringLiteral("\\x") + hex(unit, 2);
        } else if (isDirectionControl(unit)) {
            shown += QStringLiteral("\\u") + hex(unit, 4);
        } else {
            shown += c;
        }
    }
    return shown;
}

} // namespace inkvale
