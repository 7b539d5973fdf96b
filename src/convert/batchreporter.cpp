#include "convert/batchreporter.h"

namespace inkvale {

BatchReporter::BatchReporter(LogReceiver receiver)
    : m_receiver(std::move(receiver))
{}

std::size_t BatchReporter::open(const QString &path)
{
    m_entries.push_back({path, std::nullopt, false, {}});
    return m_firstTicket + m_entries.size() - 1;
}

void BatchReporter::report(std::size_t ticket, const ConversionResult &result, bool ran,
                           const QString &log)
{
    Entry &entry = m_entries.at(ticket - m_firstTicket);
    entry.result = result;
    entry.ran = ran;
    entry.log = log;
    while (!m_entries.empty() && m_entries.front().result) {
        const Entry &done = m_entries.front();
        if (done.ran) {
            m_receiver(done.log);
        }
        switch (done.result->outcome) {
        case ConversionResult::Outcome::Converted:
            ++m_result.converted;
            break;
        case ConversionResult::Outcome::Failed:
            m_result.failures.append({done.path, done.result->failure, done.log});
            break;
        case ConversionResult::Outcome::Cancelled:
            break;
        }
        m_entries.pop_front();
        ++m_firstTicket;
    }
}

BatchResult BatchReporter::close(bool stopped)
{
    m_result.stopped = stopped;
    if (stopped) {
        m_result.status = QStringLiteral("Stopped");
    } else if (m_result.failures.isEmpty()) {
        m_result.status = QStringLiteral("Completed");
    } else {
        m_result.status = QStringLiteral("Completed (%1 failed)").arg(m_result.failures.size());
    }
    return m_result;
}

} // namespace inkvale
