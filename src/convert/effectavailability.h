#pragma once

#include "convert/toollocation.h"

#include <memory>
#include <optional>
#include <QHash>
#include <QMetaType>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

namespace inkvale {

class ScratchFolder;

// Which of the five effects the installed tool can run, and why not.
struct EffectAvailability
{
    // The tool's version as "2.9.4"; empty when the tool did not say.
    QString toolVersion;
    // Effect name -> reason, for the effects the tool cannot run.
    QHash<QString, QString> unavailable;
    // The effects that run Inkvale's own recipe, since the tool lacks their command.
    QSet<QString> recipeEffects;

    bool isAvailable(const QString &effect) const { return !unavailable.contains(effect); }
    QString reason(const QString &effect) const { return unavailable.value(effect); }
    bool usesRecipe(const QString &effect) const { return recipeEffects.contains(effect); }
    // Why an effect runs Inkvale's own recipe, in a line for the effect list.
    QString recipeNote(const QString &effect) const;
};

// Asks the tool, in the background, to run each effect's preset on a tiny picture; when it
// lacks the command of an effect that has a recipe of Inkvale's, the recipe is tried instead.
// An effect that runs neither way is unavailable, with the tool's own message as reason.
// What it learns goes into the run's one record of the tool (knownEffectAvailability), which
// the conversions read.
class EffectProbe : public QObject
{
    Q_OBJECT
public:
    explicit EffectProbe(const ToolLocation &location, QObject *parent = nullptr);
    ~EffectProbe() override;
    // All five effects, or the named ones.
    void start(const QStringList &effects = {});

signals:
    void finished(const inkvale::EffectAvailability &availability);

private:
    void runTool(const QString &effect, const QStringList &arguments, bool recipe);
    void effectProbed(const QString &effect, bool recipe, int exitCode, bool normalExit,
                      const QString &output);
    bool startRecipe(const QString &effect);
    void effectDone();

    ToolLocation m_location;
    EffectAvailability m_result;
    // Holds a link to the recipe file when its path is one the tool would misread.
    std::unique_ptr<ScratchFolder> m_scratch;
    int m_pending = 0;
    // The effects of the current probe.
    QStringList m_effects;
};

// What the probes of this run learnt about the tool at `location`: whether `effect` runs
// Inkvale's recipe there; nothing when no probe has asked the tool, as it is now, yet.
std::optional<bool> knownRecipeUse(const ToolLocation &location, const QString &effect);

// Everything the probes of this run learnt about the tool at `location`, as it is now; empty
// when no probe has asked it.
EffectAvailability knownEffectAvailability(const ToolLocation &location);

// The probe run to its end while handling events.
EffectAvailability probeEffects(const ToolLocation &location = ToolLocation::ofRunningProgram());

} // namespace inkvale

Q_DECLARE_METATYPE(inkvale::EffectAvailability)
