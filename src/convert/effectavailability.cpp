#include "convert/effectavailability.h"

#include "convert/effectpresets.h"
#include "convert/tooltext.h"
#include "convert/waitforresult.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
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

} // namespace

EffectProbe::EffectProbe(const ToolLocation &location, QObject *parent)
    : QObject(parent)
    , m_location(location)
{}

void EffectProbe::start()
{
    m_result = EffectAvailability{};
    m_pending = static_cast<int>(effectPresets().size());
    for (const EffectPreset &preset : effectPresets()) {
        auto *process = new QProcess(this);
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->setWorkingDirectory(m_location.toolFolder());
        const QString effect = preset.name;
        connect(process, &QProcess::finished, this,
                [this, process, effect](int exitCode, QProcess::ExitStatus status) {
                    effectProbed(effect, exitCode, status == QProcess::NormalExit,
                                 QString::fromLocal8Bit(process->readAll()));
                    process->deleteLater();
                });
        connect(process, &QProcess::errorOccurred, this,
                [this, process, effect](QProcess::ProcessError error) {
                    if (error == QProcess::FailedToStart) {
                        effectProbed(effect, -1, false,
                                     QStringLiteral("G'MIC cannot be started from %1: %2")
                                         .arg(QDir::toNativeSeparators(m_location.toolFile()),
                                              process->errorString()));
                        process->deleteLater();
                    }
                });
        process->start(m_location.toolFile(),
                       {QStringLiteral("-v"), QStringLiteral("-"), QStringLiteral("e[]"),
                        kVersionMarker + QStringLiteral("{$_version}"), QStringLiteral("16,16,1,3"),
                        preset.commandWord, preset.parameterArgument()},
                       QIODevice::ReadOnly);
        // A tool that hangs must not keep the answer back for ever.
        QTimer::singleShot(kProbeTimeoutMs, process, [process] { process->kill(); });
    }
}

void EffectProbe::effectProbed(const QString &effect, int exitCode, bool normalExit,
                               const QString &output)
{
    const QString version = versionFromOutput(output);
    if (!version.isEmpty()) {
        m_result.toolVersion = version;
    }
    if (!normalExit || exitCode != 0) {
        const QString error = errorFromOutput(output);
        m_result.unavailable.insert(
            effect, error.isEmpty() ? QStringLiteral("no answer from the tool") : error);
    }
    if (--m_pending == 0) {
        // Name the version in every reason, so that a reader sees at once what lacks what.
        if (!m_result.toolVersion.isEmpty()) {
            for (QString &reason : m_result.unavailable) {
                reason = QStringLiteral("G'MIC %1 cannot run this effect: %2")
                             .arg(m_result.toolVersion, reason);
            }
        }
        emit finished(m_result);
    }
}

EffectAvailability probeEffects(const ToolLocation &location)
{
    EffectProbe probe(location);
    return waitForResult(probe, &EffectProbe::finished, [&] { probe.start(); });
}

} // namespace inkvale
