#include "convert/toolcommand.h"

#include "convert/effectpresets.h"
#include "convert/effectscaling.h"
#include "platform/toolprocess.h"

namespace inkvale {

ToolCommand ToolCommand::forEffect(const QString &effect, const QString &input,
                                   const QString &output, double scale)
{
    const EffectPreset *preset = findEffectPreset(effect);
    if (preset == nullptr) {
        return {};
    }
    const QChar quote = QLatin1Char('"');
    const QString parameters = scaledParameters(*preset, scale);
    ToolCommand command;
    command.commandLine = platform::toolFileName() + QLatin1Char(' ') + quote + input + quote +
                          QLatin1Char(' ') + preset->commandWord + QLatin1Char(' ') + parameters +
                          QStringLiteral(" -o ") + quote + output + quote;
    // The tool's runtime strips the quotes around 0.
    command.arguments = {input, preset->commandWord, QString(parameters).remove(quote),
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
    const QChar quote = QLatin1Char('"');
    ToolCommand command;
    command.commandLine = platform::toolFileName() + QStringLiteral(" -m ") + quote + recipeFile +
                          quote + QLatin1Char(' ');
    command.arguments = {QStringLiteral("-m"), recipeFile};
    if (!scaledFor.isEmpty()) {
        // A global variable of the tool's language, which the recipes read.
        const QString wholePicture = QStringLiteral("_inkvale_scaled_for=%1,%2")
                                         .arg(scaledFor.width())
                                         .arg(scaledFor.height());
        command.commandLine += wholePicture + QLatin1Char(' ');
        command.arguments.append(wholePicture);
    }
    command.commandLine += quote + input + quote + QLatin1Char(' ') + preset->recipeCommand +
                           QStringLiteral(" -o ") + quote + output + quote;
    command.arguments += {input, preset->recipeCommand, QStringLiteral("-o"), output};
    return command;
}

} // namespace inkvale
