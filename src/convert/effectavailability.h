#pragma once

#include "convert/toollocation.h"

#include <QHash>
#include <QMetaType>
#include <QObject>
#include <QString>

namespace inkvale {

// Which of the five effects the installed tool can run, and why not.
struct EffectAvailability
{
    // The tool's version as "2.9.4"; empty when the tool did not say.
    QString toolVersion;
    // Effect name -> reason, for the effects the tool cannot run.
    QHash<QString, QString> unavailable;

    bool isAvailable(const QString &effect) const { return !unavailable.contains(effect); }
    QString reason(const QString &effect) const { return unavailable.value(effect); }
};

// Asks the tool once, in the background, to run each effect's preset on a tiny picture;
// an effect whose run fails is unavailable, with the tool's own message as reason.
class EffectProbe : public QObject
{
    Q_OBJECT
public:
    explicit EffectProbe(const ToolLocation &location, QObject *parent = nullptr);
    void start();

signals:
    void finished(const inkvale::EffectAvailability &availability);

private:
    void effectProbed(const QString &effect, int exitCode, bool normalExit, const QString &output);

    ToolLocation m_location;
    EffectAvailability m_result;
    int m_pending = 0;
};

// The probe run to its end while handling events.
EffectAvailability probeEffects(const ToolLocation &location = ToolLocation::ofRunningProgram());

} // namespace inkvale

Q_DECLARE_METATYPE(inkvale::EffectAvailability)
