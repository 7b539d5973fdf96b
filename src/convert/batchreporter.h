#pragma once

#include "convert/batchresult.h"
#include "convert/conversionresult.h"

#include <deque>
#include <functional>
#include <optional>
#include <QString>

namespace inkvale {

// Gathers the outcomes of a batch's pictures in list order, whatever order they end in: the
// conversions' logs are passed on as if the pictures had run one after the other, and the
// failures are listed in list order.
class BatchReporter
{
public:
    // Receives the log of each conversion that ran, in list order.
    using LogReceiver = std::function<void(const QString &log)>;
    explicit BatchReporter(LogReceiver receiver);

    // The next picture in list order has started; the ticket to report it by.
    std::size_t open(const QString &path);
    // Picture `ticket` is over; `log` is its conversion's log, empty when the tool never
    // ran. Passes on every outcome now complete at the front of the list.
    void report(std::size_t ticket, const ConversionResult &result, bool ran, const QString &log);
    // The batch is over: the tally with its final status text.
    BatchResult close(bool stopped);

private:
    struct Entry
    {
        QString path;
        std::optional<ConversionResult> result;
        bool ran = false;
        QString log;
    };

    LogReceiver m_receiver;
    BatchResult m_result;
    // Opened and not yet passed on, in list order; the first has ticket m_firstTicket.
    std::deque<Entry> m_entries;
    std::size_t m_firstTicket = 0;
};

} // namespace inkvale
