#include "cli/convertcli.h"

#include "base/errortext.h"
#include "base/fspath.h"
#include "cli/clibatchsources.h"
#include "cli/convertclioptions.h"
#include "cli/filetoollog.h"
#include "cli/progressline.h"
#include "cli/statusprinter.h"
#include "cli/terminaltext.h"
#include "convert/batchcontroller.h"
#include "convert/conversionerror.h"
#include "convert/effectavailability.h"
#include "convert/effectpresets.h"
#include "convert/imagefiles.h"
#include "convert/picturetree.h"
#include "convert/tooltext.h"
#include "convert/waitforresult.h"
#include "platform/interruption.h"
#include "platform/terminal.h"

#include <filesystem>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace inkvale {
namespace {

constexpr int kInterruptionCheckMs = 100;

// Messages keep their two carriage returns in the window; a terminal wants a line break.
QString forTerminal(const QString &message)
{
    return terminalText(QString(message).replace(QStringLiteral("\r\r"), QStringLiteral("\n")),
                        true);
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

// A folder gives its accepted pictures, anything else is taken as given (a conversion that
// cannot read it says why); every path made absolute, since the tool runs in its own folder.
// A PATH that gives no picture says so at once.
QList<TreePicture> ConvertCli::collectInputs(const QStringList &paths, bool recursive)
{
    QList<TreePicture> inputs;
    for (const QString &path : paths) {
        std::error_code ignored;
        const std::filesystem::path native = toFsPath(path);
        const QString absolute =
            QDir::cleanPath(fromFsPath(std::filesystem::absolute(native, ignored)));
        if (!std::filesystem::is_directory(native, ignored)) {
            inputs.append({absolute, {}});
            continue;
        }
        QString error;
        QList<TreePicture> pictures;
        if (recursive) {
            pictures = picturesInTree(absolute, &error);
        } else {
            for (const QString &picture : imageFilesInFolder(absolute, &error)) {
                pictures.append({picture, {}});
            }
        }
        if (!error.isEmpty()) {
            m_out << terminalText(QDir::toNativeSeparators(path))
                  << ": the folder cannot be read: " << error << Qt::endl;
        } else if (pictures.isEmpty()) {
            m_out << terminalText(QDir::toNativeSeparators(path)) << ": no pictures in this folder"
                  << Qt::endl;
        }
        inputs.append(pictures);
    }
    return inputs;
}

ConvertCli::ConvertCli(QTextStream &out, QTextStream &err, const ToolLocation &location)
    : m_out(out)
    , m_err(err)
    , m_location(location)
{}

int ConvertCli::run(const QStringList &arguments)
{
    ConvertCliOptions options;
    if (!options.parse(arguments)) {
        m_err << options.error() << Qt::endl;
        return CannotRun;
    }
    switch (options.action()) {
    case ConvertCliOptions::Action::ShowHelp:
        m_out << options.helpText() << Qt::flush;
        return AllConverted;
    case ConvertCliOptions::Action::ShowVersion:
        m_out << QCoreApplication::applicationName() << ' '
              << QCoreApplication::applicationVersion() << Qt::endl;
        return AllConverted;
    case ConvertCliOptions::Action::ListEffects:
        return listEffects();
    case ConvertCliOptions::Action::Convert:
        break;
    }

    try {
        std::unique_ptr<FileToolLog> log;
        if (!options.logFile().isEmpty()) {
            log = std::make_unique<FileToolLog>(options.logFile());
        }
        const FileToolLog *fileLog = log.get();
        CliBatchSources sources(collectInputs(options.paths(), options.recursive()),
                                options.destination(), options.format(), options.effect());
        sources.setOutputOptions(options.outputOptions());
        StatusPrinter status(m_out);
        status.setQuiet(options.quiet());
        sources.setConversionOptions(options.conversionOptions());
        // Only a person watching a terminal wants the line; a pipe or a log file never gets it.
        std::unique_ptr<ProgressLine> progress;
        if (platform::isTerminal(platform::StandardStream::Error)) {
            progress = std::make_unique<ProgressLine>(m_err);
            status.setProgressLine(progress.get());
        }
        const BatchResult result =
            convertStoppably(sources, options.jobs(), progress.get(), status, log.get());
        // A log asked for and not written is a failure of its own, even of a stopped run.
        const bool logLost = fileLog != nullptr && !fileLog->error().isEmpty();
        if (logLost) {
            m_err << forTerminal(generalErrorText(fileLog->error())) << Qt::endl;
        }
        if (result.stopped) {
            return Stopped;
        }
        printFailures(result, !options.quiet());
        if (logLost) {
            return CannotRun;
        }
        if (result.converted == 0) {
            m_out << "Nothing was converted." << Qt::endl;
            return SomeFailed;
        }
        return result.failures.isEmpty() ? AllConverted : SomeFailed;
    } catch (const ToolMissingError &error) {
        m_err << forTerminal(error.message()) << Qt::endl;
    } catch (const ConversionError &error) {
        m_err << forTerminal(generalErrorText(error.message())) << Qt::endl;
    }
    return CannotRun;
}

BatchResult ConvertCli::convertStoppably(BatchSources &sources, int jobs, ProgressLine *progress,
                                         StatusPrinter &status, ToolLog *log)
{
    BatchController controller(sources, m_location);
    controller.setJobs(jobs);
    QObject::connect(&controller, &BatchController::statusChanged, &controller,
                     [&status](const QString &text) { status.print(text); });
    if (log != nullptr) {
        QObject::connect(&controller, &BatchController::conversionLogged, &controller,
                         [log](const QString &text) {
                             log->clear();
                             log->appendText(text);
                         });
    }
    if (progress != nullptr) {
        QObject::connect(&controller, &BatchController::progress, progress, &ProgressLine::update);
        progress->start();
    }
    QTimer interruptionCheck;
    QObject::connect(&interruptionCheck, &QTimer::timeout, &controller, [&controller] {
        if (platform::interruptionRequested()) {
            controller.stop();
        }
    });
    interruptionCheck.start(kInterruptionCheckMs);
    const BatchResult result =
        waitForResult(controller, &BatchController::finished, [&] { controller.start(); });
    if (progress != nullptr) {
        progress->clear();
    }
    return result;
}

void ConvertCli::printFailures(const BatchResult &result, bool apart)
{
    if (result.failures.isEmpty()) {
        return;
    }
    if (apart) {
        m_out << Qt::endl;
    }
    m_out << "Not converted:" << Qt::endl;
    for (const BatchFailure &failure : result.failures) {
        m_out << terminalText(QDir::toNativeSeparators(failure.path)) << Qt::endl
              << indented(terminalText(failure.reason, true)) << Qt::endl;
        // A conversion that ended before the tool ran has only its reason in the log.
        const QString words = toolWordsFromLog(failure.log);
        if (!words.isEmpty() && words != failure.reason) {
            m_out << indented(terminalText(words, true)) << Qt::endl;
        }
    }
}

int ConvertCli::listEffects()
{
    if (!m_location.toolExists()) {
        m_err << forTerminal(ToolMissingError(m_location).message()) << Qt::endl;
        return CannotRun;
    }
    const EffectAvailability availability = probeEffects(m_location);
    m_out << "G'MIC "
          << (availability.toolVersion.isEmpty() ? QStringLiteral("(version unknown)")
                                                 : availability.toolVersion)
          << " in " << QDir::toNativeSeparators(m_location.toolFolder()) << Qt::endl;
    for (const EffectPreset &preset : effectPresets()) {
        QString state = QStringLiteral("available");
        if (!availability.isAvailable(preset.name)) {
            state = QStringLiteral("not available (") + availability.reason(preset.name) +
                    QLatin1Char(')');
        } else if (availability.usesRecipe(preset.name)) {
            state += QStringLiteral(" (") + availability.recipeNote(preset.name) + QLatin1Char(')');
        }
        m_out << preset.name << ": " << state << Qt::endl;
    }
    return AllConverted;
}

} // namespace inkvale
