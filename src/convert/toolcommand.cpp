#include "convert/toolcommand.h"

#include "convert/effectpresets.h"
#include "platform/toolprocess.h"

namespace inkvale {
namespace {

QString quoted(const QString &path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}

// gmic -m "recipes" ["_inkvale_scaled_for=W,H"] "input" <command> -o "output"; `command` as
// the log shows it, the tool's runtime strips the quotes around 0. For an input that is a
// region of a larger picture, `scaledFor` is that picture's size, which the recipes read.
ToolCommand recipeCommand(const QString &recipeFile, const QString &input, const QString &command,
                          const QString &output, const QSize &scaledFor = {})
{
    ToolCommand tool;
    tool.commandLine =
        platform::toolFileName() + QStringLiteral(" -m ") + quoted(recipeFile) + QLatin1Char(' ');
    tool.arguments = {QStringLiteral("-m"), recipeFile};
    if (!scaledFor.isEmpty()) {
        // A global variable of the tool's language.
        const QString wholePicture = QStringLiteral("_inkvale_scaled_for=%1,%2")
                                         .arg(scaledFor.width())
                                         .arg(scaledFor.height());
        tool.commandLine += wholePicture + QLatin1Char(' ');
        tool.arguments.append(wholePicture);
    }
    tool.commandLine +=
        quoted(input) + QLatin1Char(' ') + command + QStringLiteral(" -o ") + quoted(output);
    tool.arguments.append(input);
    tool.arguments += QString(command).remove(QLatin1Char('"')).split(QLatin1Char(' '));
    tool.arguments += {QStringLiteral("-o"), output};
    return tool;
}

} // namespace

ToolCommand ToolCommand::forEffect(const QString &effect, const QString &input,
                                   const QString &output)
{
    return forEffect(effect, input, output, 1.0, {});
}

ToolCommand ToolCommand::forEffect(const QString &effect, const QString &input,
                                   const QString &output, double scale, const QString &recipeFile)
{
    const EffectPreset *preset = findEffectPreset(effect);
    if (preset == nullptr) {
        return {};
    }
    if (scale > 1.0 && !preset->scaledRecipeCommand.isEmpty()) {
        return recipeCommand(recipeFile, input,
                             preset->scaledRecipeCommand + QLatin1Char(' ') +
                                 QString::number(scale, 'g', 5) + QLatin1Char(',') +
                                 preset->parameters,
                             output);
    }
    ToolCommand command;
    command.commandLine = platform::toolFileName() + QLatin1Char(' ') + quoted(input) +
                          QLatin1Char(' ') + preset->commandWord + QLatin1Char(' ') +
                          preset->parameters + QStringLiteral(" -o ") + quoted(output);
    command.arguments = {input, preset->commandWord, preset->parameterArgument(),
                         QStringLiteral("-o"), output};
    return command;
}

ToolCommand ToolCommand::forRecipe(const QString &effect, const QString &recipeFile,
                                   const QString &input, const QString &output,
                                   const QSize &scaledFor)
{
    const EffectPreset *preset = findEffectPreset(effect);
    if (preset == nullptr || preset->recipeCommand.isEmpty()) {
        return {};
    }
    return recipeCommand(recipeFile, input, preset->recipeCommand, output, scaledFor);
}

} // namespace inkvale
