#pragma once

#include "convert/conversionoptions.h"
#include "convert/conversionresult.h"
#include "convert/outputoptions.h"
#include "convert/photometadata.h"
#include "convert/scratchfolder.h"
#include "convert/toolinput.h"
#include "convert/toollocation.h"
#include "platform/toolprocess.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <QFutureWatcher>
#include <QObject>
#include <QStringList>

namespace inkvale {

class EffectProbe;
class ToolLog;
class ToolRun;
struct ToolExit;

// One conversion, asynchronously: checks the input and hands it to the tool under a neutral
// name, runs the tool with the effect's preset (or Inkvale's own recipe, where the tool lacks
// the preset's command) into a private temporary folder, then checks
// the result and puts it at the output name. It succeeds only when the tool ended normally
// with status 0 and its picture decodes whole. The log is cleared and then holds the command
// line, the tool's words and a closing line that says how the conversion ended.
class ConversionJob : public QObject
{
    Q_OBJECT
public:
    ConversionJob(const QString &effect, const QString &input, const QString &output, ToolLog &log,
                  const ToolLocation &location, QObject *parent = nullptr);
    ~ConversionJob() override;

    // Before start: how the tool shares the processor (a preview runs in the background).
    void setPriority(platform::ToolPriority priority) { m_priority = priority; }
    // When the output name is taken by the time the result is ready, the result takes the
    // next free variant of `wantedName` (see findFilenameThatDoesNotExist()) instead of failing.
    void takeFreeNameOf(const QString &wantedName) { m_wantedName = wantedName; }
    // The tool's share of the processor cores (OMP_NUM_THREADS); 0, the default, leaves the
    // tool to take them all. Set before start().
    void setToolThreads(int threads) { m_toolThreads = threads; }
    // Before start: the quality of a lossy result, whether the location is kept.
    void setOutputOptions(const OutputOptions &options) { m_options = options; }
    // Before start: how the effect follows the picture's size, and the output's largest side.
    void setOptions(const ConversionOptions &options) { m_conversionOptions = options; }
    // What the tool may take (see memoryRefusal()): a picture whose tool needs more fails
    // before it starts. Measured at start() unless set; 0 refuses nothing.
    void setMemoryBudget(std::uint64_t bytes) { m_memoryBudget = bytes; }
    void start();
    // Stops the tool; no output file is left. A result already being placed is completed.
    void cancel();

signals:
    void finished(const inkvale::ConversionResult &result);

private:
    void prepareInput();
    void inputPrepared();
    void startTool(const ToolInput &toolInput);
    // Fails without running the tool, once the caller is back in the event loop.
    void failSoon(const QString &reason);
    void toolFinished(const ToolExit &exit);
    void complete(ConversionResult result);

    // How placing the result ended, and what the result lacks.
    struct Placement
    {
        Result<> placed;
        QStringList notes;
    };

    QString m_effect;
    QString m_input;
    QString m_output;
    QString m_wantedName;
    ToolLog &m_log;
    ToolLocation m_location;
    std::unique_ptr<ScratchFolder> m_scratch;
    QString m_toolOutput;
    ToolRun *m_run = nullptr;
    EffectProbe *m_probe = nullptr;
    int m_toolThreads = 0;
    std::optional<std::uint64_t> m_memoryBudget;
    QFutureWatcher<Result<ToolInput>> m_preparation;
    QFutureWatcher<Placement> m_placement;
    OutputOptions m_options;
    PhotoMetadata m_metadata;
    ConversionOptions m_conversionOptions;
    bool m_toolRan = false;
    bool m_cancelled = false;
    bool m_done = false;
    platform::ToolPriority m_priority = platform::ToolPriority::Normal;
};

// The conversion of one image, synchronously (the engine form of the window's operation):
// returns when the result is in place or the conversion failed.
ConversionResult convertImage(const QString &effect, const QString &inputfilename,
                              const QString &outputfilename, ToolLog &log,
                              const ToolLocation &location = ToolLocation::ofRunningProgram(),
                              const ConversionOptions &options = {});

} // namespace inkvale
