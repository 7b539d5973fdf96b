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

    // gmic "input" <word> <parameters> -o "output": the effect's preset; empty for an unknown
    // effect.
    static ToolCommand forEffect(const QString &effect, const QString &input,
                                 const QString &output);
    // The effect for a picture `scale` times the reference (see effectScaleFactor()). At 1 the
    // preset's line. Above it, for an effect with a scaled recipe,
    // gmic -m "recipes" "input" <scaled recipe> <scale>,<parameters> -o "output";
    // the others' recipes scale themselves.
    static ToolCommand forEffect(const QString &effect, const QString &input, const QString &output,
                                 double scale, const QString &recipeFile);
    // gmic -m "recipes" "input" <recipe command> -o "output": the effect by Inkvale's own
    // recipe; empty for an effect without one. For an input that is a region of a larger
    // picture, `scaledFor` is that picture's size, which the recipe scales its look for
    // (_inkvale_scaled_for=W,H before the input).
    static ToolCommand forRecipe(const QString &effect, const QString &recipeFile,
                                 const QString &input, const QString &output,
                                 const QSize &scaledFor = {});
};

} // namespace inkvale
