#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

namespace inkvale {

// The tool invocation for one conversion: the command line as the log shows it, and the
// same words as separate arguments for starting the tool without a shell.
struct ToolCommand
{
    QString commandLine;
    QStringList arguments;

    bool isEmpty() const { return commandLine.isEmpty(); }

    // gmic "input" <word> <parameters> -o "output"; empty for an unknown effect. The
    // parameters are the preset's with its spatial ones scaled by `scale` (see
    // scaledParameters()).
    static ToolCommand forEffect(const QString &effect, const QString &input, const QString &output,
                                 double scale = 1.0);
    // gmic -m "recipes" "input" <recipe command> -o "output": the effect by Inkvale's own
    // recipe; empty for an effect without one. For an input that is a region of a larger
    // picture, `scaledFor` is that picture's size, which the recipe scales its look for
    // (_inkvale_scaled_for=W,H before the input).
    static ToolCommand forRecipe(const QString &effect, const QString &recipeFile,
                                 const QString &input, const QString &output,
                                 const QSize &scaledFor = {});
};

} // namespace inkvale
