#include "convert/toolcommand.h"

#include "convert/effectpresets.h"
#include "platform/toolprocess.h"

namespace inkvale {

ToolCommand ToolCommand::forEffect(const QString &effect, const QString &input,
                                   const QString &output)
{
    const EffectPreset *preset = findEffectPreset(effect);
    if (preset == nullptr) {
        return {};
    }
    const QChar quote = QLatin1Char('"');
    ToolCommand command;
    command.commandLine = platform::toolFileName() + QLatin1Char(' ') + quote + input + quote +
                          QLatin1Char(' ') + preset->commandWord + QLatin1Char(' ') +
                          preset->parameters + QStringLiteral(" -o ") + quote + output + quote;
    // What the tool receives from that command line: its runtime strips the quotes
    // around 0 in the parameter string.
    QString parameters = preset->parameters;
    parameters.remove(quote);
    command.arguments = {input, preset->commandWord, parameters, QStringLiteral("-o"), output};
    return command;
}

} // namespace inkvale
