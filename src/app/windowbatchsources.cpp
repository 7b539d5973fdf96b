#include "app/windowbatchsources.h"

#include "app/statuspanel.h"
#include "imagelist/imagelistmodel.h"
#include "windowkit/desktopactions.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

namespace inkvale {

WindowBatchSources::WindowBatchSources(const Controls &controls)
    : m_controls(controls)
    , m_log(controls.log)
    , m_destination(controls.destination.text())
{}

WindowBatchSources::~WindowBatchSources()
{
    setBusy(false);
}

int WindowBatchSources::rowCount() const
{
    return m_controls.list.rowCount();
}

QString WindowBatchSources::rowPath(int row) const
{
    return m_controls.list.path(row);
}

QString WindowBatchSources::destination() const
{
    return m_destination;
}

void WindowBatchSources::takeDestination()
{
    m_destination = m_controls.destination.text();
}

QString WindowBatchSources::format() const
{
    return m_controls.format.currentText();
}

QString WindowBatchSources::effect() const
{
    return m_controls.effect.currentText();
}

void WindowBatchSources::setStatus(const QString &text)
{
    m_status = text;
    showStatus();
}

void WindowBatchSources::setRunningCount(int count)
{
    if (count != m_runningCount) {
        m_runningCount = count;
        showStatus();
    }
}

void WindowBatchSources::showStatus()
{
    // One image at a time reads exactly as ever; more add their number to the last started.
    m_controls.status.setText(
        m_runningCount > 1
            ? QStringLiteral("%1 (%2 running)").arg(m_status, QString::number(m_runningCount))
            : m_status);
}

void WindowBatchSources::setBusy(bool busy)
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

void WindowBatchSources::signalCompletion()
{
    m_controls.desktop.beep();
}

} // namespace inkvale
