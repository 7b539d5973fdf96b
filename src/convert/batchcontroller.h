#pragma once

#include "convert/batchreporter.h"
#include "convert/batchresult.h"
#include "convert/batchscheduler.h"
#include "convert/conversionresult.h"
#include "convert/toollocation.h"

#include <list>
#include <memory>
#include <optional>
#include <QObject>
#include <QSet>

namespace inkvale {

class BatchSources;

// Converts every listed image into the destination folder, several at once when its
// BatchScheduler allows it, without blocking the event loop. Images start in list order and
// the sources are read afresh as each one starts; output names are reserved in list order and
// its BatchReporter reports in list order, whatever finishes first.
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
    // The batch has started (true) or ended (false).
    void busyChanged(bool busy);
    // "Processing " + the path + "..." as each image starts; at the end the final status.
    void statusChanged(const QString &text);
    // How many images are in work, after each start and end.
    void runningCountChanged(int count);
    // `done` images are behind, `total` listed at the moment.
    void progress(int done, int total);
    // The log of a conversion that ran, in list order: read one after the other, they are
    // the logs of a batch that converted one image at a time.
    void conversionLogged(const QString &log);
    void finished(const inkvale::BatchResult &result);

private:
    struct Picture;

    void startMore();
    void startPicture(const QString &path, const QString &subfolder,
                      const BatchScheduler::Start &start);
    void pictureFinished(Picture *picture, const ConversionResult &result);
    void finishWhenIdle();
    void finish(bool stopped);
    QSet<QString> reservedOutputs() const;

    BatchSources &m_sources;
    ToolLocation m_location;
    int m_jobs = 0;
    std::optional<BatchScheduler> m_scheduler;
    std::optional<BatchReporter> m_reporter;
    // The next row to start, and how many images are behind.
    int m_next = 0;
    int m_done = 0;
    // The images in work.
    std::list<std::unique_ptr<Picture>> m_pictures;
    bool m_running = false;
    bool m_stopRequested = false;
};

// The Convert command run to its end: start(), then waits for the last image while handling
// events; nothing is reported on the way. Throws like BatchController::start().
BatchResult convertBatch(BatchSources &sources,
                         const ToolLocation &location = ToolLocation::ofRunningProgram(),
                         int jobs = 0);

} // namespace inkvale
