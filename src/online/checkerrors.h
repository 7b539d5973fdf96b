#pragma once

#include <QString>

namespace inkvale {

// The update check's failure record: whether something went wrong in the current check and
// what, entry after entry. Kept, never shown.
class CheckErrors
{
public:
    // Adds an entry; a message of nothing but blanks and control characters changes nothing.
    // Entries are joined with two carriage returns.
    void add(const QString &message);
    void clear();

    // Whether the current check has failed somewhere.
    bool any() const { return m_flag; }
    const QString &log() const { return m_log; }

private:
    bool m_flag = false;
    QString m_log;
};

} // namespace inkvale
