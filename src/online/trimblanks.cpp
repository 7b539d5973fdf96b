#include "online/trimblanks.h"

namespace inkvale {

QString trimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text.at(first).unicode() <= 32) {
        ++first;
    }
    while (end > first && text.at(end - 1).unicode() <= 32) {
        --end;
    }
    return text.mid(first, end - first);
}

} // namespace inkvale
