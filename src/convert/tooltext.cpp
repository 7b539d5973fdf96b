#include "convert/tooltext.h"

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
    const QString closing = QStringLiteral("Processing completed successfully.");
    const qsizetype start = log.indexOf(opening);
    if (start < 0) {
        return plainToolText(log).trimmed();
    }
    const qsizetype from = start + opening.size();
    const qsizetype end = log.lastIndexOf(closing);
    return plainToolText(log.mid(from, end < from ? -1 : end - from)).trimmed();
}

} // namespace inkvale
