#include "app/windowbatchrun.h"

#include "app/mainwindowui.h"
#include "app/photochoices.h"
#include "app/statuspanel.h"
#include "app/windowbatchsources.h"
#include "convert/batchcontroller.h"
#include "windowkit/artwork.h"
#include "windowkit/desktopactions.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QPushButton>
#include <QStyleHints>

namespace inkvale {

WindowBatchRun::WindowBatchRun(const MainWindowUi &ui, ImageListModel &list,
                               DesktopActions &desktop, const ToolLocation &location, Clock clock,
                               QObject *parent)
    : QObject(parent)
    , m_ui(ui)
    , m_list(list)
    , m_desktop(desktop)
    , m_location(location)
    , m_clock(std::move(clock))
{}

WindowBatchRun::~WindowBatchRun()
{
    // The batch's sources point into the controls: end the batch before they go.
    m_batch.reset();
    m_sources.reset();
    setBusy(false);
}

bool WindowBatchRun::isRunning() const
{
    return m_batch && m_batch->isRunning();
}

void WindowBatchRun::stop()
{
    if (isRunning()) {
        m_batch->stop();
    }
}

void WindowBatchRun::takeDestination()
{
    if (isRunning()) {
        m_sources->takeDestination();
    }
}

void WindowBatchRun::startOrStop()
{
    if (isRunning()) {
        const std::chrono::milliseconds interval(
            QGuiApplication::styleHints()->mouseDoubleClickInterval());
        if (m_clock() - m_startedAt >= interval) {
            m_batch->stop();
        }
        return;
    }
    m_batch.reset();
    m_sources = std::make_unique<WindowBatchSources>(WindowBatchSources::Controls{
        m_list, *m_ui.destinationEdit, *m_ui.formatBox, *m_ui.effectBox,
        [&ui = m_ui] { return PhotoChoices::outputOptionsOf(ui); }, *m_ui.conversionChoices});
    m_batch = std::make_unique<BatchController>(*m_sources, m_location);
    m_runningCount = 0;
    connect(m_batch.get(), &BatchController::busyChanged, this, &WindowBatchRun::setBusy);
    connect(m_batch.get(), &BatchController::statusChanged, this, [this](const QString &text) {
        m_status = text;
        showStatus();
    });
    connect(m_batch.get(), &BatchController::runningCountChanged, this, [this](int count) {
        if (count != m_runningCount) {
            m_runningCount = count;
            showStatus();
        }
    });
    connect(m_batch.get(), &BatchController::conversionLogged, this, [this](const QString &log) {
        m_log.clear();
        m_log.appendText(log);
    });
    connect(m_batch.get(), &BatchController::progress, m_ui.statusPanel,
            &StatusPanel::showProgress);
    connect(m_batch.get(), &BatchController::progress, this, &WindowBatchRun::progress);
    connect(m_batch.get(), &BatchController::finished, this, &WindowBatchRun::ended);
    m_startedAt = m_clock();
    m_batch->start();
    setButtonStops(m_batch->isRunning());
}

void WindowBatchRun::showStatus()
{
    // One image at a time reads exactly as ever; more add their number to the last started.
    m_ui.statusPanel->setText(
        m_runningCount > 1
            ? QStringLiteral("%1 (%2 running)").arg(m_status, QString::number(m_runningCount))
            : m_status);
}

void WindowBatchRun::setBusy(bool busy)
{
    if (busy == m_busy) {
        return;
    }
    m_busy = busy;
    // An arrow with a busy mark: the window still takes clicks while the batch runs.
    if (busy) {
        QApplication::setOverrideCursor(Qt::BusyCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void WindowBatchRun::ended(const BatchResult &result)
{
    if (!result.stopped) {
        m_desktop.beep();
    }
    setButtonStops(false);
    m_ui.statusPanel->hideProgress();
    m_lastResult = result;
    m_ui.showConversionLogAction->setEnabled(!result.failures.isEmpty());
    if (!result.failures.isEmpty()) {
        m_ui.statusPanel->setFailureText(result.status);
    }
    emit finished(result);
}

void WindowBatchRun::setButtonStops(bool stops)
{
    m_ui.convertButton->setText(stops ? QStringLiteral("S&top") : QStringLiteral("&Convert"));
    m_ui.convertButton->setIcon(
        artworkIcon(stops ? QStringLiteral("stop") : QStringLiteral("convert")));
    m_ui.convertButton->setToolTip(
        stops ? tr("Stop converting: the images in work are abandoned, converted images stay")
              : QString());
}

} // namespace inkvale
