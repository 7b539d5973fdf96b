#pragma once

#include "convert/batchresult.h"
#include "convert/conversionresult.h"
#include "convert/toollocation.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <QObject>
#include <QSet>

namespace inkvale {

class BatchSources;

// Converts every listed image into the destination folder, several at once when the machine
// allows it, without blocking the event loop. Images start in list order and the sources are
// read afresh as each one starts; output names are reserved in list order and failures are
// reported in list order, whatever finishes first.
class BatchController : public QObject
{
    Q_OBJECT
public:
    BatchController(BatchSources &sources, const ToolLocation &location, QObject *parent = nullptr);
    ~BatchController() override;

    // At most `jobs` conversions at once. 0, the default, lets the images' sizes, their
    // effects and the machine's cores and available memory decide: an image starts when its
    // tool fits beside those running (anotherConversionFits()).
    void setJobs(int jobs) { m_jobs = jobs; }
    // Checks that the tool is installed and creates the destination folder, then starts the
    // first conversions. Throws ToolMissingError or ConversionError before anything changed.
    void start();
    // Stops every running tool and ends the batch; files already converted stay.
    void stop();
    bool isRunning() const { return m_running; }

signals:
    // `done` images are behind, `total` listed at the moment.
    void progress(int done, int total);
    void finished(const inkvale::BatchResult &result);

private:
    struct Picture;

    void startMore();
    void startPicture(const QString &path, int conversions, std::uint64_t memory);
    void pictureFinished(Picture *picture, const ConversionResult &result);
    void reportInListOrder();
    void finishWhenIdle();
    void finish(bool stopped);
    QSet<QString> reservedOutputs() const;

    BatchSources &m_sources;
    ToolLocation m_location;
    BatchResult m_result;
    int m_jobs = 0;
    int m_cores = 1;
    std::uint64_t m_availableMemory = 0;
    // The next row to start, and how many images are behind or in work.
    int m_next = 0;
    int m_done = 0;
    int m_inWork = 0;
    // What the tools in work need together, by toolMemoryEstimate().
    std::uint64_t m_memoryInWork = 0;
    // Started images not yet reported, in list order.
    std::deque<std::unique_ptr<Picture>> m_pictures;
    bool m_running = false;
    bool m_stopRequested = false;
    bool m_starting = false;
};

// The Convert command run to its end: start(), then waits for the last image while handling
// events. Throws like BatchController::start().
BatchResult convertBatch(BatchSources &sources,
                         const ToolLocation &location = ToolLocation::ofRunningProgram(),
                         int jobs = 0);

} // namespace inkvale
