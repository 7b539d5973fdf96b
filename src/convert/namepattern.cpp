#include "convert/namepattern.h"

#include <QRegularExpression>

namespace inkvale {
namespace {

// What the pattern's own text and the effect's name may not bring into a file name.
QString safeForFileName(QString text)
{
    for (QChar &c : text) {
        if (c.unicode() < 0x20 || c == QLatin1Char('/') || c == QLatin1Char('\\') ||
            QStringLiteral(":*?\"<>|").contains(c)) {
            c = QLatin1Char('_');
        }
    }
    return text;
}

} // namespace

NamePattern::NamePattern(QString pattern)
    : m_pattern(std::move(pattern))
{}

QString NamePattern::problem(const QString &pattern)
{
    if (pattern.trimmed().isEmpty()) {
        return QStringLiteral("The name pattern is empty");
    }
    return {};
}

QString NamePattern::baseName(const QString &inputBase, const QString &effect, int number) const
{
    if (!problem(m_pattern).isEmpty()) {
        return inputBase;
    }
    // The input's name comes from the file system as it is; only what the pattern adds is
    // made safe.
    static const QRegularExpression placeholder(QStringLiteral("\\{(name|effect|n)\\}"));
    QString result;
    qsizetype done = 0;
    for (auto match = placeholder.globalMatch(m_pattern); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        result += safeForFileName(m_pattern.mid(done, found.capturedStart() - done));
        const QString word = found.captured(1);
        result += word == QLatin1String("name")     ? inputBase
                  : word == QLatin1String("effect") ? safeForFileName(effect)
                                                    : QString::number(number);
        done = found.capturedEnd();
    }
    result += safeForFileName(m_pattern.mid(done));
    return result;
}

} // namespace inkvale
