#include "app/windowbatchrun.h"

#include "app/artwork.h"
#include "app/statuspanel.h"
#include "app/tappformui.h"
#include "app/windowbatchsources.h"
#include "convert/batchcontroller.h"

#include <QAction>
#include <QPushButton>

namespace inkvale {

WindowBatchRun::WindowBatchRun(const TAppFormUi &ui, ImageListModel &list, DesktopActions &desktop,
                               const ToolLocation &location, QObject *parent)
    : QObject(parent)
    , m_ui(ui)
    , m_list(list)
    , m_desktop(desktop)
    , m_location(location)
{}

WindowBatchRun::~WindowBatchRun()
{
    // The batch's sources point into the controls: end the batch before they go.
    m_batch.reset();
    m_sources.reset();
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

void WindowBatchRun::startOrStop()
{
    if (isRunning()) {
        m_batch->stop();
        return;
    }
    m_batch.reset();
    m_sources = std::make_unique<WindowBatchSources>(
        WindowBatchSources::Controls{m_list, *m_ui.Edit1, *m_ui.ComboBox1, *m_ui.ComboBox2,
                                     *m_ui.MemoCMD, *m_ui.StatusBar1, m_desktop});
    m_batch = std::make_unique<BatchController>(*m_sources, m_location);
    connect(m_batch.get(), &BatchController::progress, m_ui.StatusBar1, &StatusPanel::showProgress);
    connect(m_batch.get(), &BatchController::progress, this, &WindowBatchRun::progress);
    connect(m_batch.get(), &BatchController::finished, this, &WindowBatchRun::ended);
    m_batch->start();
    setButtonStops(m_batch->isRunning());
}

void WindowBatchRun::ended(const BatchResult &result)
{
    setButtonStops(false);
    m_ui.StatusBar1->hideProgress();
    m_lastResult = result;
    m_ui.ShowConversionLog1->setEnabled(!result.failures.isEmpty());
    if (!result.failures.isEmpty()) {
        m_ui.StatusBar1->setFailureText(result.status);
    }
    emit finished(result);
}

void WindowBatchRun::setButtonStops(bool stops)
{
    m_ui.Button1->setText(stops ? QStringLiteral("Stop") : QStringLiteral("Convert"));
    m_ui.Button1->setIcon(artworkIcon(stops ? QStringLiteral("stop") : QStringLiteral("convert")));
    m_ui.Button1->setToolTip(
        stops ? tr("Stop converting: the running image is abandoned, converted images stay")
              : QString());
}

} // namespace inkvale
