#pragma once

#include "app/memotoollog.h"
#include "convert/batchsources.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace inkvale {

class DesktopActions;
class ImageListModel;
class StatusPanel;

// The main window's controls as a batch's sources, read live, so that what the user changes
// during a batch applies from the next image on. The destination is the exception: it is
// taken only when the field's editing is finished (takeDestination).
class WindowBatchSources final : public BatchSources
{
public:
    struct Controls
    {
        ImageListModel &list;
        QLineEdit &destination;
        QComboBox &format;
        QComboBox &effect;
        QPlainTextEdit &log;
        StatusPanel &status;
        DesktopActions &desktop;
    };

    explicit WindowBatchSources(const Controls &controls);
    ~WindowBatchSources() override;

    int rowCount() const override;
    QString rowPath(int row) const override;
    QString destination() const override;
    QString format() const override;
    QString effect() const override;
    ToolLog &log() override { return m_log; }
    // From the next image on, the batch writes where the field now says.
    void takeDestination();

    void setStatus(const QString &text) override;
    // With several images in work the status adds how many, as in "Processing x.jpg...
    // (3 running)".
    void setRunningCount(int count) override;
    void setBusy(bool busy) override;
    // The batch runs between turns of the event loop; nothing waits to be handled.
    void pumpMessages() override {}
    void signalCompletion() override;

private:
    void showStatus();

    Controls m_controls;
    MemoToolLog m_log;
    QString m_destination;
    QString m_status;
    int m_runningCount = 0;
    bool m_busy = false;
};

} // namespace inkvale
