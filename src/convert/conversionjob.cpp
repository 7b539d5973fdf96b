#include "convert/conversionjob.h"

#include "convert/effectavailability.h"
#include "convert/effectpresets.h"
#include "convert/filenames.h"
#include "convert/imagefiles.h"
#include "convert/resultplacement.h"
#include "convert/toolcommand.h"
#include "convert/toollog.h"
#include "convert/toolrun.h"
#include "convert/waitforresult.h"

#include <QDir>
#include <QFileInfo>
#include <QtConcurrent/QtConcurrentRun>
#include <QTimer>

namespace inkvale {

ConversionJob::ConversionJob(const QString &effect, const QString &input, const QString &output,
                             ToolLog &log, const ToolLocation &location, QObject *parent)
    : QObject(parent)
    , m_effect(effect)
    , m_input(input)
    , m_output(output)
    , m_log(log)
    , m_location(location)
{
    connect(&m_placement, &QFutureWatcher<QString>::finished, this, [this] {
        const QString error = m_placement.result();
        complete(error.isEmpty() ? ConversionResult{ConversionResult::Outcome::Converted, {}}
                                 : ConversionResult{ConversionResult::Outcome::Failed, error});
    });
}

ConversionJob::~ConversionJob()
{
    // The tool and the placement work in the scratch folder, which goes with this object:
    // both end first.
    delete m_run;
    m_placement.waitForFinished();
}

void ConversionJob::start()
{
    m_log.clear();
    // Before anything opens the input: a pipe or a device would keep its reader waiting.
    if (const QString reason = whyNotAFile(m_input); !reason.isEmpty()) {
        failSoon(reason);
        return;
    }
    // A private folder per conversion: two conversions at once, or two running copies of the
    // program, never take each other's result.
    m_scratch = std::make_unique<QTemporaryDir>(tempFolder() + QStringLiteral("inkvale-XXXXXX"));
    if (!m_scratch->isValid()) {
        failSoon(QStringLiteral("Unable to create a temporary folder in %1: %2")
                     .arg(tempFolder(), m_scratch->errorString()));
        return;
    }
    const EffectPreset *preset = findEffectPreset(m_effect);
    if (preset != nullptr && !preset->recipeCommand.isEmpty() &&
        !knownRecipeUse(m_location, m_effect).has_value()) {
        // The first such conversion of this run asks the tool whether it has the effect.
        m_probe = new EffectProbe(m_location, this);
        connect(m_probe, &EffectProbe::finished, this, [this] {
            m_probe->deleteLater();
            m_probe = nullptr;
            runTool();
        });
        m_probe->start({m_effect});
        return;
    }
    runTool();
}

void ConversionJob::runTool()
{
    const QString input = toolInputPath(m_input, m_scratch->path());
    m_toolOutput = QDir::toNativeSeparators(m_scratch->filePath(QStringLiteral("zemcartoon.png")));
    const ToolCommand command =
        knownRecipeUse(m_location, m_effect).value_or(false)
            ? ToolCommand::forRecipe(m_effect,
                                     toolRecipePath(m_location.recipeFile(), m_scratch->path()),
                                     input, m_toolOutput)
            : ToolCommand::forEffect(m_effect, input, m_toolOutput);
    m_log.addLine(command.commandLine);

    m_run = new ToolRun(m_log, this);
    connect(m_run, &ToolRun::finished, this, &ConversionJob::toolFinished);
    m_run->setThreads(m_toolThreads);
    m_run->start(command, m_location.toolFile(), m_location.toolFolder(), m_priority);
}

void ConversionJob::failSoon(const QString &reason)
{
    m_log.addLine(reason);
    QTimer::singleShot(0, this, [this, reason] {
        complete({ConversionResult::Outcome::Failed, reason});
    });
}

void ConversionJob::cancel()
{
    if (m_done || m_placement.isRunning()) {
        return;
    }
    m_cancelled = true;
    if (m_probe != nullptr) {
        // Its tool runs end with it.
        delete m_probe;
        m_probe = nullptr;
        QTimer::singleShot(0, this, [this] {
            complete({ConversionResult::Outcome::Cancelled, QStringLiteral("Stopped")});
        });
        return;
    }
    if (m_run != nullptr) {
        m_run->cancel();
    }
}

void ConversionJob::toolFinished()
{
    if (m_cancelled) {
        complete({ConversionResult::Outcome::Cancelled, QStringLiteral("Stopped")});
        return;
    }
    if (!QFileInfo::exists(m_toolOutput)) {
        const QString reason = findEffectPreset(m_effect) == nullptr
                                   ? QStringLiteral("Unknown effect \"%1\"").arg(m_effect)
                                   : QStringLiteral("The tool produced no picture");
        complete({ConversionResult::Outcome::Failed, reason});
        return;
    }
    m_placement.setFuture(
        QtConcurrent::run(placeResult, m_toolOutput, m_output, m_scratch->path(), m_wantedName));
}

void ConversionJob::complete(ConversionResult result)
{
    if (m_done) {
        return;
    }
    m_done = true;
    m_scratch.reset();
    emit finished(result);
}

ConversionResult convertImage(const QString &effect, const QString &inputfilename,
                              const QString &outputfilename, ToolLog &log,
                              const ToolLocation &location)
{
    ConversionJob job(effect, inputfilename, outputfilename, log, location);
    return waitForResult(job, &ConversionJob::finished, [&] { job.start(); });
}

} // namespace inkvale
