#include "convert/effectavailability.h"

#include "convert/effectpresets.h"
#include "convert/filenames.h"
#include "convert/scratchfolder.h"
#include "convert/tooltext.h"
#include "convert/waitforresult.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

namespace inkvale {
namespace {

const QString kVersionMarker = QStringLiteral("inkvale-version:");
constexpr int kProbeTimeoutMs = 30000;

QString versionFromOutput(const QString &output)
{
    static const QRegularExpression version(kVersionMarker + QStringLiteral("(\\d+)"));
    const QRegularExpressionMatch match = version.match(output);
    if (!match.hasMatch()) {
        return {};
    }
    // The tool states its version as digits: 294 is 2.9.4.
    QStringList parts;
    for (const QChar digit : match.captured(1)) {
        parts.append(digit);
    }
    return parts.join(QLatin1Char('.'));
}

// The tool's error line without its decoration: "Unknown command or filename 'cl_comic'."
QString errorFromOutput(const QString &output)
{
    const QStringList lines = plainToolText(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const qsizetype marker = line.lastIndexOf(QStringLiteral("*** "));
        if (line.contains(QStringLiteral("*** Error")) && marker >= 0) {
            return line.mid(marker + 4).trimmed();
        }
    }
    return lines.isEmpty() ? QString() : lines.constLast().trimmed();
}

// The remembered answers, per tool as it is now: a tool replaced while the program runs is
// asked again.
QString toolState(const ToolLocation &location)
{
    const QFileInfo tool(location.toolFile());
    const QFileInfo recipes(location.recipeFile());
    return QStringLiteral("%1|%2|%3|%4")
        .arg(tool.absoluteFilePath())
        .arg(tool.lastModified().toMSecsSinceEpoch())
        .arg(tool.size())
        .arg(recipes.lastModified().toMSecsSinceEpoch());
}

// What the probes of this run learnt about one tool, as it is now.
struct ToolRecord
{
    EffectAvailability availability;
    QSet<QString> probed;
};

// The one record of what the installed tool can run: the window's marks and every
// conversion read it.
QMutex knownMutex;
QHash<QString, ToolRecord> knownTools;

void remember(const ToolLocation &location, const QStringList &effects,
              const EffectAvailability &found)
{
    const QMutexLocker lock(&knownMutex);
    ToolRecord &record = knownTools[toolState(location)];
    if (!found.toolVersion.isEmpty()) {
        record.availability.toolVersion = found.toolVersion;
    }
    for (const QString &effect : effects) {
        record.probed.insert(effect);
        if (found.isAvailable(effect)) {
            record.availability.unavailable.remove(effect);
        } else {
            record.availability.unavailable.insert(effect, found.reason(effect));
        }
        if (found.usesRecipe(effect)) {
            record.availability.recipeEffects.insert(effect);
        } else {
            record.availability.recipeEffects.remove(effect);
        }
    }
}

} // namespace

QString EffectAvailability::recipeNote(const QString &effect) const
{
    const EffectPreset *preset = findEffectPreset(effect);
    const QString tool =
        toolVersion.isEmpty() ? QStringLiteral("G'MIC") : QStringLiteral("G'MIC ") + toolVersion;
    return QStringLiteral("Inkvale's own recipe is used: the installed %1 has no %2")
        .arg(tool, preset != nullptr ? preset->commandWord : effect);
}

std::optional<bool> knownRecipeUse(const ToolLocation &location, const QString &effect)
{
    const QMutexLocker lock(&knownMutex);
    const auto tool = knownTools.constFind(toolState(location));
    if (tool == knownTools.constEnd() || !tool->probed.contains(effect)) {
        return std::nullopt;
    }
    return tool->availability.usesRecipe(effect);
}

EffectAvailability knownEffectAvailability(const ToolLocation &location)
{
    const QMutexLocker lock(&knownMutex);
    return knownTools.value(toolState(location)).availability;
}

EffectProbe::EffectProbe(const ToolLocation &location, QObject *parent)
    : QObject(parent)
    , m_location(location)
{}

EffectProbe::~EffectProbe() = default;

void EffectProbe::start(const QStringList &effects)
{
    m_result = EffectAvailability{};
    m_effects.clear();
    QList<const EffectPreset *> presets;
    for (const EffectPreset &preset : effectPresets()) {
        if (effects.isEmpty() || effects.contains(preset.name)) {
            presets.append(&preset);
            m_effects.append(preset.name);
        }
    }
    m_pending = static_cast<int>(presets.size());
    for (const EffectPreset *preset : presets) {
        runTool(preset->name,
                {QStringLiteral("-v"), QStringLiteral("-"), QStringLiteral("e[]"),
                 kVersionMarker + QStringLiteral("{$_version}"), QStringLiteral("16,16,1,3"),
                 preset->commandWord, preset->parameterArgument()},
                false);
    }
    if (m_pending == 0) {
        QTimer::singleShot(0, this, [this] { emit finished(m_result); });
    }
}

void EffectProbe::runTool(const QString &effect, const QStringList &arguments, bool recipe)
{
    auto *process = new QProcess(this);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setWorkingDirectory(m_location.toolFolder());
    connect(process, &QProcess::finished, this,
            [this, process, effect, recipe](int exitCode, QProcess::ExitStatus status) {
                effectProbed(effect, recipe, exitCode, status == QProcess::NormalExit,
                             QString::fromLocal8Bit(process->readAll()));
                process->deleteLater();
            });
    connect(process, &QProcess::errorOccurred, this,
            [this, process, effect, recipe](QProcess::ProcessError error) {
                if (error == QProcess::FailedToStart) {
                    effectProbed(effect, recipe, -1, false,
                                 QStringLiteral("G'MIC cannot be started from %1: %2")
                                     .arg(QDir::toNativeSeparators(m_location.toolFile()),
                                          process->errorString()));
                    process->deleteLater();
                }
            });
    process->start(m_location.toolFile(), arguments, QIODevice::ReadOnly);
    // A tool that hangs must not keep the answer back for ever.
    QTimer::singleShot(kProbeTimeoutMs, process, [process] { process->kill(); });
}

bool EffectProbe::startRecipe(const QString &effect)
{
    const EffectPreset *preset = findEffectPreset(effect);
    if (preset == nullptr || preset->recipeCommand.isEmpty()) {
        return false;
    }
    if (!QFileInfo(m_location.recipeFile()).isFile()) {
        m_result.unavailable[effect] += QStringLiteral("; Inkvale's own recipe file is missing: %1")
                                            .arg(QDir::toNativeSeparators(m_location.recipeFile()));
        return false;
    }
    if (!m_scratch) {
        // The recipe file's link goes where the tool reads paths literally, as a conversion's.
        m_scratch = std::make_unique<ScratchFolder>();
    }
    const QString recipes = m_scratch->isValid()
                                ? toolRecipePath(m_location.recipeFile(), m_scratch->path())
                                : m_location.recipeFile();
    runTool(effect,
            {QStringLiteral("-v"), QStringLiteral("-"), QStringLiteral("-m"), recipes,
             QStringLiteral("16,16,1,3"), preset->recipeCommand},
            true);
    return true;
}

void EffectProbe::effectProbed(const QString &effect, bool recipe, int exitCode, bool normalExit,
                               const QString &output)
{
    const QString version = versionFromOutput(output);
    if (!version.isEmpty()) {
        m_result.toolVersion = version;
    }
    const bool ran = normalExit && exitCode == 0;
    if (ran && recipe) {
        // The tool's own error stays out of the list: the effect works.
        m_result.unavailable.remove(effect);
        m_result.recipeEffects.insert(effect);
    } else if (!ran) {
        const QString error = errorFromOutput(output);
        if (recipe) {
            m_result.unavailable[effect] += QStringLiteral("; Inkvale's own recipe failed too: ") +
                                            (error.isEmpty() ? QStringLiteral("no answer") : error);
        } else {
            m_result.unavailable.insert(
                effect, error.isEmpty() ? QStringLiteral("no answer from the tool") : error);
            // A tool that cannot be started at all needs no recipe.
            if (normalExit && startRecipe(effect)) {
                return;
            }
        }
    }
    effectDone();
}

void EffectProbe::effectDone()
{
    if (--m_pending == 0) {
        m_scratch.reset();
        // Name the version in every reason, so that a reader sees at once what lacks what.
        if (!m_result.toolVersion.isEmpty()) {
            for (QString &reason : m_result.unavailable) {
                reason = QStringLiteral("G'MIC %1 cannot run this effect: %2")
                             .arg(m_result.toolVersion, reason);
            }
        }
        remember(m_location, m_effects, m_result);
        emit finished(m_result);
    }
}

EffectAvailability probeEffects(const ToolLocation &location)
{
    EffectProbe probe(location);
    return waitForResult(probe, &EffectProbe::finished, [&] { probe.start(); });
}

} // namespace inkvale
