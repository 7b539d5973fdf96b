#include "convert/conversionjob.h"

#include "convert/effectavailability.h"
#include "convert/effectpresets.h"
#include "convert/effectscaling.h"
#include "convert/filenames.h"
#include "convert/imagefiles.h"
#include "convert/memorybudget.h"
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
    connect(&m_preparation, &QFutureWatcher<Result<ToolInput>>::finished, this,
            &ConversionJob::inputPrepared);
    connect(&m_placement, &QFutureWatcher<Placement>::finished, this, [this] {
        const Placement placement = m_placement.result();
        for (const QString &note : placement.notes) {
            m_log.addLine(note);
        }
        const Result<> &placed = placement.placed;
        complete(placed.ok() ? ConversionResult{ConversionResult::Outcome::Converted, {}}
                             : ConversionResult{ConversionResult::Outcome::Failed, placed.error()});
    });
}

ConversionJob::~ConversionJob()
{
    // The tool, the input's preparation and the placement work in the scratch folder, which
    // goes with this object: all end first.
    delete m_run;
    m_preparation.waitForFinished();
    m_placement.waitForFinished();
}

void ConversionJob::start()
{
    m_log.clear();
    // Before anything opens the input: a pipe or a device would keep its reader waiting.
    if (const Result<> file = checkRegularFile(m_input); !file.ok()) {
        failSoon(file.error());
        return;
    }
    // A private folder per conversion: two conversions at once, or two running copies of the
    // program, never take each other's result. Only below a folder whose path the tool reads
    // literally: it would write elsewhere.
    m_scratch = std::make_unique<ScratchFolder>();
    if (!m_scratch->isValid()) {
        failSoon(m_scratch->errorString());
        return;
    }
    const EffectPreset *preset = findEffectPreset(m_effect);
    if (preset == nullptr) {
        // Nothing to run: the tool is not started and the input is not looked at.
        QTimer::singleShot(0, this, [this] { startTool({}); });
        return;
    }
    if (!preset->recipeCommand.isEmpty() && !knownRecipeUse(m_location, m_effect).has_value()) {
        // The first such conversion of this run asks the tool whether it has the effect.
        m_probe = new EffectProbe(m_location, this);
        connect(m_probe, &EffectProbe::finished, this, [this] {
            m_probe->deleteLater();
            m_probe = nullptr;
            prepareInput();
        });
        m_probe->start({m_effect});
        return;
    }
    prepareInput();
}

void ConversionJob::prepareInput()
{
    if (!m_memoryBudget) {
        m_memoryBudget = toolMemoryBudget();
    }
    m_preparation.setFuture(QtConcurrent::run(
        prepareToolInput, m_input, m_scratch->path(),
        ToolInputLimits{m_effect, m_conversionOptions.largestSide, *m_memoryBudget}));
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

void ConversionJob::inputPrepared()
{
    const Result<ToolInput> input = m_preparation.result();
    if (m_cancelled) {
        complete({ConversionResult::Outcome::Cancelled, QStringLiteral("Stopped")});
    } else if (!input.ok()) {
        // The tool is not started, so the log holds only the reason.
        m_log.addLine(input.error());
        complete({ConversionResult::Outcome::Failed, input.error()});
    } else {
        m_metadata = input.value().metadata;
        startTool(input.value());
    }
}

void ConversionJob::startTool(const ToolInput &toolInput)
{
    m_toolOutput = QDir::toNativeSeparators(m_scratch->filePath(QStringLiteral("zemcartoon.png")));
    const QSize scaledFor =
        m_conversionOptions.scaledFor.isEmpty() ? toolInput.size : m_conversionOptions.scaledFor;
    const double scale =
        m_conversionOptions.scale == EffectScale::Fit ? effectScaleFactor(scaledFor) : 1.0;
    const QString recipeFile = toolRecipePath(m_location.recipeFile(), m_scratch->path());
    const ToolCommand command =
        knownRecipeUse(m_location, m_effect).value_or(false)
            ? ToolCommand::forRecipe(m_effect, recipeFile, toolInput.path, m_toolOutput,
                                     m_conversionOptions.scaledFor)
            : ToolCommand::forEffect(m_effect, toolInput.path, m_toolOutput, scale, recipeFile);
    m_log.addLine(command.commandLine);

    m_toolRan = true;
    m_run = new ToolRun(m_log, this);
    connect(m_run, &ToolRun::finished, this, &ConversionJob::toolFinished);
    m_run->setThreads(m_toolThreads);
    m_run->setTemporaryFolder(m_scratch->path());
    m_run->start(command, m_location.toolFile(), m_location.toolFolder(), m_priority);
}

void ConversionJob::toolFinished(const ToolExit &exit)
{
    if (m_cancelled) {
        complete({ConversionResult::Outcome::Cancelled, QStringLiteral("Stopped")});
        return;
    }
    if (findEffectPreset(m_effect) == nullptr) {
        complete({ConversionResult::Outcome::Failed,
                  QStringLiteral("Unknown effect \"%1\"").arg(m_effect)});
        return;
    }
    // A tool that failed may still have left a file, cut off where it stopped writing.
    const QString failure = exit.failure();
    if (!failure.isEmpty()) {
        complete({ConversionResult::Outcome::Failed, failure});
        return;
    }
    if (!QFileInfo::exists(m_toolOutput)) {
        complete(
            {ConversionResult::Outcome::Failed, QStringLiteral("The tool produced no picture")});
        return;
    }
    m_placement.setFuture(QtConcurrent::run([this, content = ResultContent{m_metadata, m_options}] {
        Placement placement;
        QString unwritten;
        placement.placed = placeResult(m_toolOutput, m_output, m_scratch->path(), m_wantedName,
                                       content, &unwritten);
        for (const QString &note : {content.metadata.note(), unwritten}) {
            if (!note.isEmpty()) {
                placement.notes.append(note);
            }
        }
        return placement;
    }));
}

void ConversionJob::complete(ConversionResult result)
{
    if (m_done) {
        return;
    }
    m_done = true;
    if (m_toolRan) {
        closeToolLog(m_log, result.converted()
                                ? QStringLiteral("Processing completed successfully.")
                            : result.outcome == ConversionResult::Outcome::Cancelled
                                ? QStringLiteral("Processing stopped.")
                                : QStringLiteral("Processing failed: ") + result.failure);
    }
    m_scratch.reset();
    emit finished(result);
}

ConversionResult convertImage(const QString &effect, const QString &inputfilename,
                              const QString &outputfilename, ToolLog &log,
                              const ToolLocation &location, const ConversionOptions &options)
{
    ConversionJob job(effect, inputfilename, outputfilename, log, location);
    job.setOptions(options);
    return waitForResult(job, &ConversionJob::finished, [&] { job.start(); });
}

} // namespace inkvale
