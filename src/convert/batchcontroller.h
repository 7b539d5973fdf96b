#pragma once

#include "convert/batchresult.h"
#include "convert/conversionresult.h"
#include "convert/toollocation.h"

#include <memory>
#include <QObject>

namespace inkvale {

class BatchSources;
class ConversionJob;
class StringToolLog;
class TeeToolLog;

// Converts every listed image, in list order, into the destination folder, one after the
// other and without blocking the event loop; the sources are read afresh for each image.
class BatchController : public QObject
{
    Q_OBJECT
public:
    BatchController(BatchSources &sources, const ToolLocation &location, QObject *parent = nullptr);
    ~BatchController() override;

    // Checks that the tool is installed and creates the destination folder, then starts the
    // first conversion. Throws ToolMissingError or ConversionError before anything changed.
    void start();
    // Stops the running tool and ends the batch; files already converted stay.
    void stop();
    bool isRunning() const { return m_running; }

signals:
    // `done` images are behind, `total` listed at the moment.
    void progress(int done, int total);
    void finished(const inkvale::BatchResult &result);

private:
    void convertNext();
    void imageFinished(const ConversionResult &result);
    void finish(bool stopped);

    BatchSources &m_sources;
    ToolLocation m_location;
    BatchResult m_result;
    int m_index = 0;
    QString m_currentPath;
    std::unique_ptr<StringToolLog> m_imageLog;
    std::unique_ptr<TeeToolLog> m_tee;
    std::unique_ptr<ConversionJob> m_job;
    bool m_running = false;
    bool m_stopRequested = false;
};

// The Convert command run to its end: start(), then waits for the last image while handling
// events. Throws like BatchController::start().
BatchResult convertBatch(BatchSources &sources,
                         const ToolLocation &location = ToolLocation::ofRunningProgram());

} // namespace inkvale
