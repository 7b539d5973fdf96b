#include "convert/tooltext.h"

#include <algorithm>
#include <QRegularExpression>

namespace inkvale {

QString plainToolText(const QString &text)
{
    static const QRegularExpression escapes(QStringLiteral("\x1b\\[[0-9;?]*[A-Za-z]"));
    return QString(text).remove(escapes);
}

QString toolWordsFromLog(const QString &log)
{
    const QString opening = QStringLiteral("Commencing processing...\n");
    const qsizetype start = log.indexOf(opening);
    if (start < 0) {
        return {}; // the tool was never started
    }
    const qsizetype from = start + opening.size();
    // The closing line is the one before the line of asterisks.
    const QString asterisks = QLatin1Char('\n') + QString(34, QLatin1Char('*')) + QLatin1Char('\n');
    qsizetype end = log.lastIndexOf(asterisks);
    if (end >= from) {
        end = std::max(from, log.lastIndexOf(QLatin1Char('\n'), end - 1) + 1);
    }
    return plainToolText(log.mid(from, end < from ? -1 : end - from)).trimmed();
}

} // namespace inkvale
