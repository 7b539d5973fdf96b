#include "app/convertcli.h"

#include "app/clibatchsources.h"
#include "app/errortext.h"
#include "app/filetoollog.h"
#include "convert/batchcontroller.h"
#include "convert/conversionerror.h"
#include "convert/effectavailability.h"
#include "convert/effectpresets.h"
#include "convert/tooltext.h"
#include "convert/waitforresult.h"
#include "imagelist/imagefiles.h"
#include "platform/interruption.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace inkvale {
namespace {

constexpr int kInterruptionCheckMs = 100;
const QStringList kFormats{QStringLiteral("PNG"), QStringLiteral("JPG"), QStringLiteral("BMP")};

QString effectNames()
{
    QStringList names;
    for (const EffectPreset &preset : effectPresets()) {
        names.append(QLatin1Char('"') + preset.name + QLatin1Char('"'));
    }
    return names.join(QStringLiteral(", "));
}

// Messages keep their two carriage returns in the window; a terminal wants a line break.
QString forTerminal(const QString &message)
{
    return QString(message).replace(QStringLiteral("\r\r"), QStringLiteral("\n"));
}

QString indented(const QString &text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        line.prepend(QStringLiteral("    "));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

ConvertCli::ConvertCli(QTextStream &out, QTextStream &err, const ToolLocation &location)
    : m_out(out)
    , m_err(err)
    , m_location(location)
{}

int ConvertCli::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Turns pictures into cartoon-style images with the G'MIC tool in gmic/ beside this "
        "program.\n"
        "A PATH that is a folder adds its pictures (.bmp .gif .png .tif .tiff .jpg .jpeg, not "
        "those in sub-folders, sorted by name); a file is taken as given. Outputs are named "
        "after their inputs and never replace an existing file: \"photo (2).png\" follows "
        "\"photo.png\".\n"
        "Exit status: 0 when every picture was converted, 1 when some were not (they are listed "
        "with the tool's words), 2 when the command cannot run (usage, unknown effect or "
        "format, missing tool, destination that cannot be created), 130 when stopped by "
        "Ctrl+C or a termination request (pictures already converted stay, the one in work "
        "leaves nothing)."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption effectOption(
        QStringLiteral("effect"),
        QStringLiteral("One of %1 (default \"Cartoon\").").arg(effectNames()),
        QStringLiteral("NAME"), QStringLiteral("Cartoon"));
    const QCommandLineOption formatOption(QStringLiteral("format"),
                                          QStringLiteral("PNG, JPG or BMP (default PNG)."),
                                          QStringLiteral("FORMAT"), QStringLiteral("PNG"));
    const QCommandLineOption destinationOption(QStringLiteral("destination"),
                                               QStringLiteral("Folder for the results; created "
                                                              "with its parents when missing."),
                                               QStringLiteral("DIR"));
    const QCommandLineOption logOption(QStringLiteral("log"),
                                       QStringLiteral("Append every conversion's log to FILE."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption listOption(
        QStringLiteral("list-effects"),
        QStringLiteral("Show which effects the installed G'MIC can run, and exit."));
    parser.addOptions({effectOption, formatOption, destinationOption, logOption, listOption});
    parser.addPositionalArgument(QStringLiteral("PATH"), QStringLiteral("Pictures or folders."),
                                 QStringLiteral("PATH..."));

    if (!parser.parse(arguments)) {
        m_err << parser.errorText() << Qt::endl;
        return CannotRun;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        m_out << parser.helpText() << Qt::flush;
        return AllConverted;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        m_out << QCoreApplication::applicationName() << ' '
              << QCoreApplication::applicationVersion() << Qt::endl;
        return AllConverted;
    }
    if (parser.isSet(listOption)) {
        return listEffects();
    }

    const QString effect = parser.value(effectOption);
    if (findEffectPreset(effect) == nullptr) {
        m_err << "Unknown effect \"" << effect << "\"; choose one of " << effectNames() << '.'
              << Qt::endl;
        return CannotRun;
    }
    const QString format = parser.value(formatOption).toUpper();
    if (!kFormats.contains(format)) {
        m_err << "Unknown format \"" << parser.value(formatOption) << "\"; choose PNG, JPG or BMP."
              << Qt::endl;
        return CannotRun;
    }
    if (!parser.isSet(destinationOption)) {
        m_err << "Missing --destination DIR (see --help)." << Qt::endl;
        return CannotRun;
    }
    if (parser.positionalArguments().isEmpty()) {
        m_err << "Missing PATH: name the pictures or folders to convert (see --help)." << Qt::endl;
        return CannotRun;
    }

    try {
        std::unique_ptr<ToolLog> log;
        if (parser.isSet(logOption)) {
            log = std::make_unique<FileToolLog>(parser.value(logOption));
        }
        CliBatchSources sources(collectInputs(parser.positionalArguments()),
                                parser.value(destinationOption), format, effect, std::move(log),
                                m_out);
        const BatchResult result = convertStoppably(sources);
        if (result.stopped) {
            return Stopped;
        }
        if (result.failures.isEmpty()) {
            return AllConverted;
        }
        m_out << Qt::endl << "Not converted:" << Qt::endl;
        for (const BatchFailure &failure : result.failures) {
            m_out << QDir::toNativeSeparators(failure.path) << Qt::endl
                  << indented(failure.reason) << Qt::endl;
            const QString words = toolWordsFromLog(failure.log);
            if (!words.isEmpty()) {
                m_out << indented(words) << Qt::endl;
            }
        }
        return SomeFailed;
    } catch (const ToolMissingError &error) {
        m_err << forTerminal(error.message()) << Qt::endl;
    } catch (const ConversionError &error) {
        m_err << forTerminal(GeneralErrorText(error.message())) << Qt::endl;
    }
    return CannotRun;
}

BatchResult ConvertCli::convertStoppably(BatchSources &sources)
{
    BatchController controller(sources, m_location);
    QTimer interruptionCheck;
    QObject::connect(&interruptionCheck, &QTimer::timeout, &controller, [&controller] {
        if (platform::interruptionRequested()) {
            controller.stop();
        }
    });
    interruptionCheck.start(kInterruptionCheckMs);
    return waitForResult(controller, &BatchController::finished, [&] { controller.start(); });
}

int ConvertCli::listEffects()
{
    if (!QFileInfo(m_location.toolFile()).isFile()) {
        m_err << "File not found!" << Qt::endl
              << QDir::toNativeSeparators(m_location.toolFile()) << Qt::endl;
        return CannotRun;
    }
    const EffectAvailability availability = probeEffects(m_location);
    m_out << "G'MIC "
          << (availability.toolVersion.isEmpty() ? QStringLiteral("(version unknown)")
                                                 : availability.toolVersion)
          << " in " << QDir::toNativeSeparators(m_location.toolFolder()) << Qt::endl;
    for (const EffectPreset &preset : effectPresets()) {
        m_out << preset.name << ": "
              << (availability.isAvailable(preset.name)
                      ? QStringLiteral("available")
                      : QStringLiteral("not available (") + availability.reason(preset.name) +
                            QLatin1Char(')'))
              << Qt::endl;
    }
    return AllConverted;
}

QStringList ConvertCli::collectInputs(const QStringList &paths) const
{
    QStringList inputs;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            inputs.append(imageFilesInFolder(info.absoluteFilePath()));
        } else {
            // The tool runs in its own folder, so a relative name would point elsewhere.
            inputs.append(info.absoluteFilePath());
        }
    }
    return inputs;
}

} // namespace inkvale
