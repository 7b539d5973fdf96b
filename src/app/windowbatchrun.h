#pragma once

#include "convert/batchresult.h"
#include "convert/stringtoollog.h"
#include "convert/toollocation.h"

#include <chrono>
#include <functional>
#include <memory>
#include <QObject>

namespace inkvale {

class BatchController;
class DesktopActions;
class ImageListModel;
struct MainWindowUi;
class WindowBatchSources;

// "Convert" in the main window: one batch at a time over the window's controls, the button
// reading "Stop" while it runs, the progress and the outcome in the status bar, a busy mark
// on the pointer and a beep at the end, the last conversion's log and the last result kept
// for the conversion log.
class WindowBatchRun : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // `clock` tells the second click of a double click on "Convert" from a click on "Stop".
    WindowBatchRun(const MainWindowUi &ui, ImageListModel &list, DesktopActions &desktop,
                   const ToolLocation &location, Clock clock, QObject *parent = nullptr);
    // Ends a running batch before the controls it reads go.
    ~WindowBatchRun() override;

    // Starts a batch, or stops the running one. What the batch throws at its start (a missing
    // tool, a destination that cannot be made) is the caller's to show.
    void startOrStop();
    // Stops the running tool; images already converted stay.
    void stop();
    // The destination field's editing is finished: the running batch writes there from its
    // next image on. A half-typed destination never receives results.
    void takeDestination();
    bool isRunning() const;
    const BatchResult &lastResult() const { return m_lastResult; }
    // The log of the batch's last reported conversion.
    const StringToolLog &log() const { return m_log; }

signals:
    // `done` images of the running batch are behind, `total` listed at the moment.
    void progress(int done, int total);
    void finished(const inkvale::BatchResult &result);

private:
    void ended(const BatchResult &result);
    void setButtonStops(bool stops);
    void setBusy(bool busy);
    // With several images in work the status adds how many, as in "Processing x.jpg...
    // (3 running)".
    void showStatus();

    const MainWindowUi &m_ui;
    ImageListModel &m_list;
    DesktopActions &m_desktop;
    ToolLocation m_location;
    std::unique_ptr<WindowBatchSources> m_sources;
    std::unique_ptr<BatchController> m_batch;
    BatchResult m_lastResult;
    StringToolLog m_log;
    QString m_status;
    int m_runningCount = 0;
    bool m_busy = false;
    Clock m_clock;
    // The second click of a double click on "Convert" lands on "Stop" and must not end the
    // batch it has just started.
    std::chrono::steady_clock::time_point m_startedAt;
};

} // namespace inkvale
