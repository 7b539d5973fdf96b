#pragma once

#include "convert/batchsources.h"
#include "convert/stringtoollog.h"

#include <memory>
#include <QStringList>
#include <QTextStream>

namespace inkvale {

class ProgressLine;

// The command line's fixed choices as a batch's sources; status texts are printed one per
// line.
class CliBatchSources : public BatchSources
{
public:
    CliBatchSources(QStringList paths, QString destination, QString format, QString effect,
                    std::unique_ptr<ToolLog> log, QTextStream &out);

    int rowCount() const override { return static_cast<int>(m_paths.size()); }
    QString rowPath(int row) const override { return m_paths.at(row); }
    QString destination() const override { return m_destination; }
    QString format() const override { return m_format; }
    QString effect() const override { return m_effect; }
    ToolLog &log() override { return *m_log; }

    // Quiet: no status lines at all.
    void setQuiet(bool quiet) { m_quiet = quiet; }
    // A progress line on the same terminal, taken away while a status line is printed.
    void setProgressLine(ProgressLine *progress) { m_progress = progress; }

    void setStatus(const QString &text) override;
    void setBusy(bool) override {}
    void pumpMessages() override {}
    void signalCompletion() override {}

private:
    QStringList m_paths;
    QString m_destination;
    QString m_format;
    QString m_effect;
    std::unique_ptr<ToolLog> m_log;
    QTextStream &m_out;
    bool m_quiet = false;
    ProgressLine *m_progress = nullptr;
};

} // namespace inkvale
