#include "app/windowbatchsources.h"

#include "app/conversionchoices.h"
#include "imagelist/imagelistmodel.h"

#include <QComboBox>
#include <QLineEdit>

namespace inkvale {

WindowBatchSources::WindowBatchSources(const Controls &controls)
    : m_controls(controls)
    , m_destination(controls.destination.text())
{}

int WindowBatchSources::rowCount() const
{
    return m_controls.list.rowCount();
}

QString WindowBatchSources::rowPath(int row) const
{
    return m_controls.list.path(row);
}

QString WindowBatchSources::rowSubfolder(int row) const
{
    return m_controls.list.row(row).subfolder;
}

QString WindowBatchSources::destination() const
{
    return m_destination;
}

ConversionOptions WindowBatchSources::conversionOptions() const
{
    return m_controls.choices.options();
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

} // namespace inkvale
