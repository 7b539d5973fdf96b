#pragma once

#include <QString>

namespace inkvale {

// Where the image tool lives: the folder "gmic" beside the program's executable; and Inkvale's
// own command file for the tool, beside the executable too.
class ToolLocation
{
public:
    explicit ToolLocation(const QString &programFolder);
    static ToolLocation ofRunningProgram();

    QString programFolder() const { return m_programFolder; }
    // The tool's folder, also its working folder; no trailing separator.
    QString toolFolder() const;
    QString toolFile() const;
    bool toolExists() const;
    // The recipes of the effects that older tools lack (inkvale-recipes.gmic).
    QString recipeFile() const;

private:
    QString m_programFolder;
};

} // namespace inkvale
