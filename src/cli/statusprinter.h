#pragma once

#include <QString>
#include <QTextStream>

namespace inkvale {

class ProgressLine;

// Prints a batch's status texts one per line.
class StatusPrinter
{
public:
    explicit StatusPrinter(QTextStream &out);

    // Quiet: no status lines at all.
    void setQuiet(bool quiet) { m_quiet = quiet; }
    // A progress line on the same terminal, taken away while a status line is printed.
    void setProgressLine(ProgressLine *progress) { m_progress = progress; }
    void print(const QString &text);

private:
    QTextStream &m_out;
    bool m_quiet = false;
    ProgressLine *m_progress = nullptr;
};

} // namespace inkvale
