#include "convert/toollocation.h"

#include "platform/toolprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace inkvale {

ToolLocation::ToolLocation(const QString &programFolder)
    : m_programFolder(programFolder)
{}

ToolLocation ToolLocation::ofRunningProgram()
{
    return ToolLocation(QCoreApplication::applicationDirPath());
}

QString ToolLocation::toolFolder() const
{
    return QDir(m_programFolder).filePath(QStringLiteral("gmic"));
}

QString ToolLocation::toolFile() const
{
    return QDir(toolFolder()).filePath(platform::toolFileName());
}

QString ToolLocation::recipeFile() const
{
    return QDir(m_programFolder).filePath(QStringLiteral("inkvale-recipes.gmic"));
}

bool ToolLocation::toolExists() const
{
    return QFileInfo(toolFile()).isFile();
}

} // namespace inkvale
